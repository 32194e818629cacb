#pragma once

#include "settings/ExcelDocument.h"

#include <string>

// The sheets of a document as JSON: names, extents and every non-empty cell as
// [row, column, type, value] with texts in UTF-8.
std::string WorkbookJson(ExcelDocument& doc, std::size_t streamSize);
