#pragma once

#include <QString>

#include <filesystem>
#include <string>

// Conversions wherever a path crosses between the standard library, Qt and UTF-8 text, so that
// folder names in Chinese survive on every platform (native wide paths on Windows, the locale's
// file-name encoding elsewhere).
QString PathToQString(const std::filesystem::path& path);
std::filesystem::path QStringToPath(const QString& text);
std::filesystem::path Utf8ToPath(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);
