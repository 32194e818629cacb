#include "Biff8Workbook.h"

namespace Biff8 {

using ByteOrder::Reader;
using ByteOrder::Writer;

bool Workbook::Window1::DecodeFields()
{
    Reader in(data);
    horizontalPosition = in.U16();
    verticalPosition = in.U16();
    width = in.U16();
    height = in.U16();
    options = in.U16();
    activeSheet = in.U16();
    firstVisibleTab = in.U16();
    selectedTabCount = in.U16();
    tabBarWidth = in.U16();
    return in.ok();
}

void Workbook::Window1::EncodeFields()
{
    Bytes b;
    Writer w(b);
    for (std::uint16_t v : {horizontalPosition, verticalPosition, width, height, options, activeSheet,
                            firstVisibleTab, selectedTabCount, tabBarWidth})
        w.U16(v);
    SetFields(std::move(b));
}

bool Workbook::Font::DecodeFields()
{
    Reader in(data);
    height = in.U16();
    options = in.U16();
    colourIndex = in.U16();
    weight = in.U16();
    escapement = in.U16();
    underline = in.U8();
    family = in.U8();
    characterSet = in.U8();
    reserved = in.U8();
    return in.ok() && name.Decode(in);
}

void Workbook::Font::EncodeFields()
{
    Bytes b;
    Writer w(b);
    for (std::uint16_t v : {height, options, colourIndex, weight, escapement})
        w.U16(v);
    for (std::uint8_t v : {underline, family, characterSet, reserved})
        w.U8(v);
    name.Encode(w);
    SetFields(std::move(b));
}

bool Workbook::XF::DecodeFields()
{
    Reader in(data);
    fontIndex = in.U16();
    formatIndex = in.U16();
    protectionAndType = in.U16();
    alignment = in.U8();
    rotation = in.U8();
    textProperties = in.U8();
    usedAttributes = in.U8();
    borderLines = in.U32();
    colours = in.U32();
    fillColours = in.U16();
    return in.ok();
}

void Workbook::XF::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U16(fontIndex);
    w.U16(formatIndex);
    w.U16(protectionAndType);
    w.U8(alignment);
    w.U8(rotation);
    w.U8(textProperties);
    w.U8(usedAttributes);
    w.U32(borderLines);
    w.U32(colours);
    w.U16(fillColours);
    SetFields(std::move(b));
}

bool Workbook::Style::DecodeFields()
{
    Reader in(data);
    xfIndex = in.U16();
    if (!in.ok())
        return false;
    if (BuiltIn()) {
        styleIdentifier = in.U8();
        outlineLevel = in.U8();
        return in.ok();
    }
    std::uint16_t count = in.U16();
    std::uint8_t flags = in.U8();
    nameWide = (flags & STR_HIGH_BYTE) != 0;
    ConstBytes chars = in.Take(std::size_t{count} * (nameWide ? 2 : 1));
    if (!in.ok())
        return false;
    name.clear();
    for (std::size_t i = 0; i < count; ++i)
        name.push_back(nameWide ? static_cast<char16_t>(ByteOrder::LoadU16(chars.data() + 2 * i))
                                : static_cast<char16_t>(chars[i]));
    return true;
}

void Workbook::Style::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U16(xfIndex);
    if (BuiltIn()) {
        w.U8(styleIdentifier);
        w.U8(outlineLevel);
    } else {
        w.U16(static_cast<std::uint16_t>(name.size()));
        w.U8(nameWide ? STR_HIGH_BYTE : 0);
        for (char16_t c : name) {
            if (nameWide)
                w.U16(c);
            else
                w.U8(static_cast<std::uint8_t>(c));
        }
    }
    SetFields(std::move(b));
}

bool Workbook::BoundSheet::DecodeFields()
{
    Reader in(data);
    position = in.U32();
    visibility = in.U8();
    sheetType = in.U8();
    return in.ok() && name.Decode(in);
}

void Workbook::BoundSheet::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U32(position);
    w.U8(visibility);
    w.U8(sheetType);
    name.Encode(w);
    SetFields(std::move(b));
}

std::uint32_t Workbook::TotalLength()
{
    std::uint32_t total = bof.TotalLength() + window1.TotalLength();
    for (auto& r : fonts)
        total += r.TotalLength();
    for (auto& r : xfs)
        total += r.TotalLength();
    for (auto& r : styles)
        total += r.TotalLength();
    for (auto& r : boundSheets)
        total += r.TotalLength();
    total += sst.TotalLength();
    total += eof.TotalLength();
    return total;
}

std::uint32_t Workbook::Encode(std::span<std::uint8_t> out, std::size_t pos)
{
    std::size_t start = pos;
    auto put = [&](Record& r) {
        std::uint32_t n = r.Encode(out, pos);
        pos += n;
        return n != 0;
    };
    bool ok = put(bof) && put(window1);
    for (auto& r : fonts)
        ok = ok && put(r);
    for (auto& r : xfs)
        ok = ok && put(r);
    for (auto& r : styles)
        ok = ok && put(r);
    for (auto& r : boundSheets)
        ok = ok && put(r);
    ok = ok && put(sst) && put(eof);
    return ok ? static_cast<std::uint32_t>(pos - start) : 0;
}

} // namespace Biff8
