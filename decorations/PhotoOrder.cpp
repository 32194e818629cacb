#include "decorations/PhotoOrder.h"

#include "ui/FileNameBytes.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

std::optional<QDateTime> CaptureTimeFromName(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})-(\\d{1,2})-(\\d{1,2})-(\\d{1,2})(?!\\d)"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    auto part = [&match](int n) { return match.capturedView(n).toInt(); };
    const QDate date(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

namespace {

// The number a second file of the same second carries before its extension ("_02"); 1 for none.
int SameSecondNumber(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("_(\\d{2,3})\\.[^.]*$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.capturedView(1).toInt() : 1;
}

qint64 ModifiedMs(const QString& path)
{
    const std::optional<FileStamp> stamp = StatFile(path);
    return stamp && stamp->modified.isValid() ? stamp->modified.toMSecsSinceEpoch() : 0;
}

struct Entry {
    QString path;
    QString name;
    qint64 timeMs = 0;
    int number = 1;
    std::optional<qint64> modifiedMs; // read only where it decides
    qint64 Modified()
    {
        if (!modifiedMs)
            modifiedMs = ModifiedMs(path);
        return *modifiedMs;
    }
};

} // namespace

void SortNewestFirst(std::vector<QString>& paths)
{
    std::vector<Entry> entries;
    entries.reserve(paths.size());
    for (QString& path : paths) {
        Entry entry;
        entry.name = QFileInfo(path).fileName();
        entry.path = std::move(path);
        if (const std::optional<QDateTime> taken = CaptureTimeFromName(entry.name)) {
            entry.timeMs = taken->toMSecsSinceEpoch();
            entry.number = SameSecondNumber(entry.name);
        } else {
            entry.timeMs = entry.Modified();
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.timeMs != b.timeMs)
            return a.timeMs > b.timeMs;
        return a.number > b.number;
    });
    // Within one second and number (a photo, a GIF and a burst strip of the same second), the
    // file written last comes first.
    for (auto run = entries.begin(); run != entries.end();) {
        auto end = std::find_if(run, entries.end(), [&run](const Entry& e) {
            return e.timeMs != run->timeMs || e.number != run->number;
        });
        if (end - run > 1) {
            for (auto it = run; it != end; ++it)
                it->Modified();
            std::sort(run, end, [](const Entry& a, const Entry& b) {
                if (*a.modifiedMs != *b.modifiedMs)
                    return *a.modifiedMs > *b.modifiedMs;
                const int c = a.name.compare(b.name, Qt::CaseInsensitive);
                return c != 0 ? c > 0 : a.name > b.name;
            });
        }
        run = end;
    }
    paths.clear();
    for (Entry& entry : entries)
        paths.push_back(std::move(entry.path));
}
