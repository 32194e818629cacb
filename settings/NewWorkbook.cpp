#include "ExcelDocument.h"

// The globals of a workbook made from nothing: five Arial fonts, the fifteen style formats
// and one cell format that spreadsheet programs expect, and the built-in Normal style.
void ExcelDocument::NewBook(const std::vector<std::u16string>& sheetNames)
{
    storage_.Close();
    Reset();
    for (int i = 0; i < 5; ++i) {
        Biff8::Workbook::Font font;
        font.name = Biff8::ShortString::Narrow(u"Arial");
        workbook_.fonts.push_back(font);
    }
    for (int i = 0; i < 16; ++i) {
        Biff8::Workbook::XF xf;
        const bool cellFormat = i == 15;
        xf.protectionAndType = cellFormat ? 0x0001 : 0xFFF5;   // style formats: parent 0xFFF, style bit
        xf.alignment = 0x20;                                    // bottom aligned
        xf.usedAttributes = cellFormat ? 0x00 : 0xF4;
        xf.fillColours = 0x20C0;                                // pattern colours 64 and 65
        workbook_.xfs.push_back(xf);
    }
    Biff8::Workbook::Style normal;   // built-in "Normal" on format 0
    workbook_.styles.push_back(normal);
    for (std::size_t i = 0; i < sheetNames.size(); ++i) {
        Biff8::Workbook::BoundSheet bs;
        bs.name.text = sheetNames[i].substr(0, 31);
        bs.name.wide = false;
        for (char16_t c : bs.name.text)
            if (c > 0xFF)
                bs.name.wide = true;
        workbook_.boundSheets.push_back(bs);
        worksheets_.emplace_back();
        grids_.push_back(std::make_unique<SheetGrid>(this, static_cast<std::uint32_t>(i), 0, 0));
    }
}
