#include "app/HelpColumns.h"

#include <QList>
#include <QStringList>

#include <algorithm>

namespace {

bool Wide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3)
        || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
        || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The description's lines, none wider than `width` columns.
QStringList Wrap(const QString& text, int width)
{
    QStringList lines;
    QString line;
    int lineWidth = 0;
    QString word; // Latin letters held together until a space or a wide character
    int wordWidth = 0;
    auto flushWord = [&] {
        if (word.isEmpty())
            return;
        if (lineWidth + wordWidth > width && !line.trimmed().isEmpty()) {
            lines << line.trimmed();
            line.clear();
            lineWidth = 0;
            word = word.trimmed();
            wordWidth = TerminalWidth(word);
        }
        line += word;
        lineWidth += wordWidth;
        word.clear();
        wordWidth = 0;
    };
    for (const char32_t c : text.toUcs4()) {
        const QString piece = QString::fromUcs4(&c, 1);
        if (c == U' ') {
            flushWord();
            word = piece;
            wordWidth = 1;
        } else if (Wide(c)) {
            flushWord();
            word = piece;
            wordWidth = 2;
            flushWord();
        } else {
            word += piece;
            ++wordWidth;
        }
    }
    flushWord();
    if (!line.trimmed().isEmpty())
        lines << line.trimmed();
    return lines;
}

} // namespace

int TerminalWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += Wide(c) ? 2 : 1;
    return width;
}

QString OptionColumns(const std::vector<std::pair<QString, QString>>& rows, int width)
{
    constexpr int kIndent = 2, kGap = 2;
    int namesWidth = 0;
    for (const auto& [names, description] : rows)
        namesWidth = std::max(namesWidth, TerminalWidth(names));
    const int column = kIndent + namesWidth + kGap;
    QString out;
    for (const auto& [names, description] : rows) {
        const QStringList lines = Wrap(description, std::max(width - column, 20));
        out += QString(kIndent, QLatin1Char(' ')) + names;
        for (int i = 0; i < lines.size(); ++i) {
            const int from = i == 0 ? kIndent + TerminalWidth(names) : 0;
            out += QString(column - from, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
        }
        if (lines.isEmpty())
            out += QLatin1Char('\n');
    }
    return out;
}
