// Backtracking matcher for the pattern language of the device information
// text and of font file names.
#include "link/pattern.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

enum class AtomKind { Literal, Blank, Digits, Any };

struct Atom {
    AtomKind kind;
    QChar ch;
};

enum class ElemKind { Atoms, Open, Close };

struct Elem {
    ElemKind kind = ElemKind::Atoms;
    std::vector<Atom> alternatives;  // one atom, or several joined by '|'
    bool star = false;
    int capture = -1;  // for Open and Close
};

QChar Fold(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') ? QChar(u + ('a' - 'A')) : c;
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

std::vector<Elem> Compile(const QString &pattern, int *captureCount)
{
    std::vector<Elem> elems;
    std::vector<int> openStack;
    int captures = 0;
    bool joinNext = false;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        Atom atom{AtomKind::Literal, Fold(c)};
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            const QChar n = pattern[++i];
            if (n == QLatin1Char('b'))
                atom = {AtomKind::Blank, QChar()};
            else if (n == QLatin1Char('z'))
                atom = {AtomKind::Digits, QChar()};
            else
                atom = {AtomKind::Literal, Fold(n)};
        } else if (c == QLatin1Char('.')) {
            atom = {AtomKind::Any, QChar()};
        } else if (c == QLatin1Char('*')) {
            if (!elems.empty() && elems.back().kind == ElemKind::Atoms) {
                elems.back().star = true;
                continue;
            }
        } else if (c == QLatin1Char('|')) {
            if (!elems.empty() && elems.back().kind == ElemKind::Atoms) {
                joinNext = true;
                continue;
            }
        } else if (c == QLatin1Char('{')) {
            Elem e;
            e.kind = ElemKind::Open;
            e.capture = captures++;
            openStack.push_back(e.capture);
            elems.push_back(e);
            joinNext = false;
            continue;
        } else if (c == QLatin1Char('}') && !openStack.empty()) {
            Elem e;
            e.kind = ElemKind::Close;
            e.capture = openStack.back();
            openStack.pop_back();
            elems.push_back(e);
            joinNext = false;
            continue;
        }
        if (joinNext) {
            elems.back().alternatives.push_back(atom);
            joinNext = false;
        } else {
            Elem e;
            e.alternatives.push_back(atom);
            elems.push_back(e);
        }
    }
    *captureCount = captures;
    return elems;
}

class Matcher {
public:
    Matcher(const std::vector<Elem> &elems, const QString &text, int captures)
        : m_elems(elems), m_text(text), m_starts(captures, -1), m_ends(captures, -1),
          m_failed(elems.size() * (static_cast<size_t>(text.size()) + 1), 0)
    {
    }

    // Whether the pattern matches from start. The states that failed stay
    // known across start positions: whether an element matches at a position
    // does not depend on where the match began or on the captures.
    bool At(int start)
    {
        std::fill(m_starts.begin(), m_starts.end(), -1);
        std::fill(m_ends.begin(), m_ends.end(), -1);
        return Match(0, start);
    }
    QStringList Captures() const
    {
        QStringList out;
        for (size_t i = 0; i < m_starts.size(); ++i)
            out << ((m_starts[i] >= 0 && m_ends[i] >= m_starts[i]) ? m_text.mid(m_starts[i], m_ends[i] - m_starts[i])
                                                                   : QString());
        return out;
    }

private:
    // Lengths the element can match at pos, longest first.
    std::vector<int> Lengths(const Elem &e, int pos) const
    {
        std::vector<int> out;
        const int n = m_text.size();
        for (const Atom &a : e.alternatives) {
            if (pos >= n)
                break;
            const QChar c = m_text[pos];
            switch (a.kind) {
            case AtomKind::Literal:
                if (c == a.ch)
                    out.push_back(1);
                break;
            case AtomKind::Blank:
                if (IsBlank(c))
                    out.push_back(1);
                break;
            case AtomKind::Any:
                out.push_back(1);
                break;
            case AtomKind::Digits: {
                int k = pos;
                while (k < n && IsDigit(m_text[k]))
                    ++k;
                for (int len = k - pos; len >= 1; --len)
                    out.push_back(len);
                break;
            }
            }
        }
        return out;
    }

    // Bits of m_failed: the element failed at the position, or its starred
    // repetition did. Remembering failures keeps nested repetitions (a
    // starred digit run) from backtracking exponentially.
    enum : unsigned char { kMatchFailed = 1, kStarFailed = 2 };
    unsigned char &Failed(size_t i, int pos) { return m_failed[i * (m_text.size() + 1) + pos]; }

    bool Match(size_t i, int pos)
    {
        if (i == m_elems.size())
            return true;
        if (Failed(i, pos) & kMatchFailed)
            return false;
        const bool found = MatchElem(i, pos);
        if (!found)
            Failed(i, pos) |= kMatchFailed;
        return found;
    }

    bool MatchElem(size_t i, int pos)
    {
        const Elem &e = m_elems[i];
        if (e.kind == ElemKind::Open || e.kind == ElemKind::Close) {
            std::vector<int> &slot = e.kind == ElemKind::Open ? m_starts : m_ends;
            const int saved = slot[e.capture];
            slot[e.capture] = pos;
            if (Match(i + 1, pos))
                return true;
            slot[e.capture] = saved;
            return false;
        }
        if (e.star)
            return Star(i, pos);
        for (int len : Lengths(e, pos))
            if (Match(i + 1, pos + len))
                return true;
        return false;
    }

    bool Star(size_t i, int pos)
    {
        if (Failed(i, pos) & kStarFailed)
            return false;
        for (int len : Lengths(m_elems[i], pos))
            if (len > 0 && Star(i, pos + len))
                return true;
        if (Match(i + 1, pos))
            return true;
        Failed(i, pos) |= kStarFailed;
        return false;
    }

    const std::vector<Elem> &m_elems;
    QString m_text;
    std::vector<int> m_starts;
    std::vector<int> m_ends;
    std::vector<unsigned char> m_failed;
};

} // namespace

bool PatternSearch(const QString &pattern, const QString &text, QStringList *captures)
{
    int count = 0;
    const std::vector<Elem> elems = Compile(pattern, &count);
    QString folded = text;
    for (QChar &c : folded)
        c = Fold(c);
    Matcher m(elems, folded, count);
    for (int start = 0; start <= folded.size(); ++start) {
        if (m.At(start)) {
            if (captures)
                *captures = m.Captures();  // from the folded text: case does not matter for numbers
            return true;
        }
    }
    return false;
}

long long CaptureToInt(const QString &capture, int maxDigits)
{
    long long value = 0;
    const int n = qMin(capture.size(), maxDigits);
    // Digits stop counting before the value would overflow.
    const long long limit = (std::numeric_limits<long long>::max() - 9) / 10;
    for (int i = 0; i < n && IsDigit(capture[i]); ++i) {
        if (value > limit)
            break;
        value = value * 10 + (capture[i].unicode() - '0');
    }
    return value;
}
