#include "filediff.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype Context = 3;

// One text split into lines, each line as a number that equal lines share.
struct Lines
{
    std::vector<QByteArrayView> text;
    std::vector<int> ids;
    std::vector<bool> changed;
    bool lastUnterminated = false;
};

// A last line without a line break differs from the same line with one, as for diff; the two
// texts share one table so that equal lines get equal numbers.
class LineTable
{
public:
    Lines split(QByteArrayView text)
    {
        Lines lines;
        while (!text.isEmpty()) {
            const qsizetype end = text.indexOf('\n');
            QByteArrayView line = end < 0 ? text : text.first(end);
            text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
            if (end >= 0 && line.endsWith('\r'))
                line.chop(1);
            lines.lastUnterminated = end < 0;
            auto& table = lines.lastUnterminated ? m_unterminated : m_terminated;
            const auto found = table.constFind(line);
            const int id = found != table.cend() ? *found : m_next++;
            if (found == table.cend())
                table.insert(line, id);
            lines.text.push_back(line);
            lines.ids.push_back(id);
        }
        lines.changed.assign(lines.ids.size(), false);
        return lines;
    }

private:
    QHash<QByteArrayView, int> m_terminated;
    QHash<QByteArrayView, int> m_unterminated;
    int m_next = 0;
};

// Myers' difference algorithm in its linear-space form: each step finds the middle snake of a
// shortest edit script and divides the problem there.
class Comparison
{
public:
    Comparison(Lines& a, Lines& b) : m_a(a), m_b(b) {}

    void run() { compare(0, qsizetype(m_a.ids.size()), 0, qsizetype(m_b.ids.size())); }

private:
    bool same(qsizetype x, qsizetype y) const { return m_a.ids[x] == m_b.ids[y]; }

    void compare(qsizetype aLo, qsizetype aHi, qsizetype bLo, qsizetype bHi)
    {
        while (aLo < aHi && bLo < bHi && same(aLo, bLo))
            ++aLo, ++bLo;
        while (aLo < aHi && bLo < bHi && same(aHi - 1, bHi - 1))
            --aHi, --bHi;
        if (aLo == aHi || bLo == bHi) {
            std::fill(m_a.changed.begin() + aLo, m_a.changed.begin() + aHi, true);
            std::fill(m_b.changed.begin() + bLo, m_b.changed.begin() + bHi, true);
            return;
        }
        const auto [x, y] = middle(aLo, aHi, bLo, bHi);
        compare(aLo, x, bLo, y);
        compare(x, aHi, y, bHi);
    }

    // A point on a shortest edit script of the two ranges, which differ in their first and in
    // their last lines, about halfway along it. Diagonals are k = x - y relative to (aLo, bLo);
    // forward[k] holds the furthest x reached from the start, backward[k] the smallest x reached
    // from the end. The diagonals searched stay inside the ranges, with a sentinel on either side.
    std::pair<qsizetype, qsizetype> middle(qsizetype aLo, qsizetype aHi, qsizetype bLo, qsizetype bHi)
    {
        const qsizetype n = aHi - aLo;
        const qsizetype m = bHi - bLo;
        const qsizetype delta = n - m;
        const bool odd = delta % 2 != 0;
        const qsizetype offset = m + 1;
        std::vector<qsizetype> forward(n + m + 3, 0);
        std::vector<qsizetype> backward(n + m + 3, 0);
        auto fw = [&](qsizetype k) -> qsizetype& { return forward[k + offset]; };
        auto bw = [&](qsizetype k) -> qsizetype& { return backward[k + offset]; };
        constexpr qsizetype Unreached = std::numeric_limits<qsizetype>::max();
        qsizetype fmin = 0, fmax = 0, bmin = delta, bmax = delta;
        fw(0) = 0;
        bw(delta) = n;
        for (;;) {
            fmin > -m ? fw(--fmin - 1) = -1 : ++fmin;
            fmax < n ? fw(++fmax + 1) = -1 : --fmax;
            for (qsizetype k = fmax; k >= fmin; k -= 2) {
                qsizetype x = fw(k - 1) >= fw(k + 1) ? fw(k - 1) + 1 : fw(k + 1);
                qsizetype y = x - k;
                while (x < n && y < m && same(aLo + x, bLo + y))
                    ++x, ++y;
                fw(k) = x;
                if (odd && bmin <= k && k <= bmax && bw(k) <= x)
                    return {aLo + x, bLo + y};
            }
            bmin > -m ? bw(--bmin - 1) = Unreached : ++bmin;
            bmax < n ? bw(++bmax + 1) = Unreached : --bmax;
            for (qsizetype k = bmax; k >= bmin; k -= 2) {
                qsizetype x = bw(k - 1) < bw(k + 1) ? bw(k - 1) : bw(k + 1) - 1;
                qsizetype y = x - k;
                while (x > 0 && y > 0 && same(aLo + x - 1, bLo + y - 1))
                    --x, --y;
                bw(k) = x;
                if (!odd && fmin <= k && k <= fmax && x <= fw(k))
                    return {aLo + x, bLo + y};
            }
        }
    }

    Lines& m_a;
    Lines& m_b;
};

// A run of changed lines: [a, aEnd) of the old text replaced by [b, bEnd) of the new one.
struct Change
{
    qsizetype a, aEnd, b, bEnd;
};

QList<Change> changes(const Lines& a, const Lines& b)
{
    QList<Change> found;
    const qsizetype n = qsizetype(a.ids.size());
    const qsizetype m = qsizetype(b.ids.size());
    qsizetype i = 0, j = 0;
    while (i < n || j < m) {
        if ((i < n && a.changed[i]) || (j < m && b.changed[j])) {
            Change change{i, i, j, j};
            while (change.aEnd < n && a.changed[change.aEnd])
                ++change.aEnd;
            while (change.bEnd < m && b.changed[change.bEnd])
                ++change.bEnd;
            found << change;
            i = change.aEnd;
            j = change.bEnd;
        } else {
            ++i, ++j;
        }
    }
    return found;
}

// A range as the hunk header gives it: "start,count", the count left out when it is 1, and an
// empty range named by the line before it.
QByteArray range(qsizetype begin, qsizetype end)
{
    const qsizetype count = end - begin;
    if (count == 1)
        return QByteArray::number(begin + 1);
    return QByteArray::number(count == 0 ? begin : begin + 1) + ',' + QByteArray::number(count);
}

void appendLine(QByteArray& out, char mark, const Lines& lines, qsizetype at)
{
    out += mark;
    out += lines.text[at];
    out += '\n';
    if (lines.lastUnterminated && at + 1 == qsizetype(lines.text.size()))
        out += "\\ No newline at end of file\n";
}

// The hunk of changes [first, last]: context before, each change with the context between, and
// context after.
void appendHunk(QByteArray& out, const Lines& a, const Lines& b, const Change* first, const Change* last)
{
    const qsizetype start = std::max<qsizetype>(0, first->a - Context);
    const qsizetype aEnd = std::min<qsizetype>(qsizetype(a.ids.size()), last->aEnd + Context);
    const qsizetype shift = first->b - first->a;
    const qsizetype bEnd = aEnd + (last->bEnd - last->aEnd);
    out += "@@ -" + range(start, aEnd) + " +" + range(start + shift, bEnd) + " @@\n";
    qsizetype at = start;
    for (const Change* change = first; change <= last; ++change) {
        for (; at < change->a; ++at)
            appendLine(out, ' ', a, at);
        for (qsizetype i = change->a; i < change->aEnd; ++i)
            appendLine(out, '-', a, i);
        for (qsizetype j = change->b; j < change->bEnd; ++j)
            appendLine(out, '+', b, j);
        at = change->aEnd;
    }
    for (; at < aEnd; ++at)
        appendLine(out, ' ', a, at);
}

} // namespace

QByteArray FileDiff::unified(QByteArrayView oldText, QByteArrayView newText, QByteArrayView oldName,
                             QByteArrayView newName)
{
    LineTable table;
    Lines a = table.split(oldText);
    Lines b = table.split(newText);
    Comparison(a, b).run();
    const QList<Change> found = changes(a, b);
    if (found.isEmpty())
        return {};
    QByteArray out = "--- " + oldName.toByteArray() + "\n+++ " + newName.toByteArray() + '\n';
    // Changes closer than twice the context share a hunk.
    qsizetype first = 0;
    for (qsizetype i = 1; i <= found.size(); ++i) {
        if (i < found.size() && found[i].a - found[i - 1].aEnd <= 2 * Context)
            continue;
        appendHunk(out, a, b, &found[first], &found[i - 1]);
        first = i;
    }
    return out;
}
