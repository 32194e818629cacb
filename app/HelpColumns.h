#pragma once

#include <QString>

#include <utility>
#include <vector>

// How many terminal columns a text takes: Chinese characters and other wide ones take two.
int TerminalWidth(const QString& text);

// Option names beside their descriptions, the descriptions in one column that starts where the
// widest name ends and wraps within `width` terminal columns (Chinese at any character, other
// text between words).
QString OptionColumns(const std::vector<std::pair<QString, QString>>& rows, int width = 80);
