#pragma once

// For the tests that replay a fuzz target's inputs through its check, without libFuzzer: the seed
// corpus in corpus/<target>/ and every input that once broke the target, kept in
// regressions/<target>/.

#include <QDir>
#include <QFile>
#include <QTest>

namespace fuzz {

// One row per input file, named by its path below fuzz/, with the column "input".
inline void addReplayRows(const QString& target)
{
    QTest::addColumn<QByteArray>("input");
    const QString fuzzDir = QStringLiteral(VARUNO_TESTS_DIR "/../fuzz/");
    int rows = 0;
    for (const QString& folder : {QStringLiteral("corpus/"), QStringLiteral("regressions/")}) {
        const QDir dir(fuzzDir + folder + target);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            QFile file(dir.filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName() + file.errorString()));
            QTest::newRow(qPrintable(folder + target + QLatin1Char('/') + name)) << file.readAll();
            ++rows;
        }
    }
    QVERIFY2(rows > 0, qPrintable(QStringLiteral("no inputs for %1 in %2").arg(target, fuzzDir)));
}

} // namespace fuzz
