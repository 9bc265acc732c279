#pragma once

#include <QByteArrayView>

#include <optional>

// Whether a file's bytes are text the program reads without losing a character: UTF-8, with or
// without its byte-order mark. Anything else (Latin-1, Windows-1252, UTF-16 with or without its
// byte-order mark, binary data) would come back with replacement characters, and a file rewritten
// from them would lose the original characters for good.
namespace TextEncoding {

// The line (from 1, counted as the program splits lines: at CR LF, LF or CR) of the first byte that
// is not part of UTF-8 text; nullopt when all of them are. A NUL byte counts as not text: it is how
// UTF-16 text looks to a UTF-8 reader.
std::optional<qsizetype> firstNonUtf8Line(QByteArrayView bytes);

} // namespace TextEncoding
