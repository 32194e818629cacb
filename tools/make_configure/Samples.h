#pragma once

#include "settings/ExcelDocument.h"

#include <string>

// Fills doc with the installed settings workbook.
void FillConfigure(ExcelDocument& doc);
// Fills doc with a named sample ("configure", "numbers", "texts", "sheets", "longsst");
// false for an unknown name.
bool FillSample(ExcelDocument& doc, const std::string& name);
