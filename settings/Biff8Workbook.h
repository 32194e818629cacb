#pragma once

#include "Biff8Record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Biff8 {

// The workbook globals: the records before the first sheet that the store understands.
class Workbook {
public:
    class Window1 : public Record {
    public:
        Window1() : Record(RT_WINDOW1) {}
        std::uint16_t horizontalPosition = 120;
        std::uint16_t verticalPosition = 120;
        std::uint16_t width = 15135;
        std::uint16_t height = 9300;
        std::uint16_t options = 0x0038;
        std::uint16_t activeSheet = 0;
        std::uint16_t firstVisibleTab = 0;
        std::uint16_t selectedTabCount = 1;
        std::uint16_t tabBarWidth = 600;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class Font : public Record {
    public:
        Font() : Record(RT_FONT) {}
        std::uint16_t height = 200;
        std::uint16_t options = 0;
        std::uint16_t colourIndex = 0x7FFF;
        std::uint16_t weight = 400;
        std::uint16_t escapement = 0;
        std::uint8_t underline = 0;
        std::uint8_t family = 0;
        std::uint8_t characterSet = 0;
        std::uint8_t reserved = 0;
        ShortString name;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class XF : public Record {
    public:
        XF() : Record(RT_XF) {}
        std::uint16_t fontIndex = 0;
        std::uint16_t formatIndex = 0;
        std::uint16_t protectionAndType = 0;
        std::uint8_t alignment = 0;
        std::uint8_t rotation = 0;
        std::uint8_t textProperties = 0;
        std::uint8_t usedAttributes = 0;
        std::uint32_t borderLines = 0;
        std::uint32_t colours = 0;
        std::uint16_t fillColours = 0;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class Style : public Record {
    public:
        Style() : Record(RT_STYLE) {}
        std::uint16_t xfIndex = 0x8000;   // bit 15: built-in style
        std::uint8_t styleIdentifier = 0;
        std::uint8_t outlineLevel = 0xFF;
        bool nameWide = false;
        std::u16string name;

        bool BuiltIn() const { return (xfIndex & 0x8000) != 0; }

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    class BoundSheet : public Record {
    public:
        BoundSheet() : Record(RT_BOUNDSHEET) {}
        std::uint32_t position = 0;
        std::uint8_t visibility = 0;
        std::uint8_t sheetType = 0;
        ShortString name;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    // One shared string.
    using SstString = UnicodeString;

    class SharedStringTable : public Record {
    public:
        SharedStringTable() : Record(RT_SST) {}
        std::uint32_t totalReferences = 0;
        std::uint32_t uniqueCount = 0;
        std::vector<SstString> strings;

    protected:
        bool DecodeFields() override;
        void EncodeFields() override;
    };

    // Never read from nor written to the stream; readers rebuild it when they need it.
    class ExtSST : public Record {
    public:
        ExtSST() : Record(RT_EXTSST) {}
    };

    BOF bof{BOF_TYPE_WORKBOOK_GLOBALS};
    Window1 window1;
    std::vector<Font> fonts;
    std::vector<XF> xfs;
    std::vector<Style> styles;
    std::vector<BoundSheet> boundSheets;
    SharedStringTable sst;
    ExtSST extSst;
    EndOfFile eof;

    std::uint32_t TotalLength();
    // Writes the globals at pos in their fixed order; gives the bytes written (0 on failure).
    std::uint32_t Encode(std::span<std::uint8_t> out, std::size_t pos);
};

} // namespace Biff8
