#include "Samples.h"

#include "settings/TextConversions.h"

#include <cmath>

namespace {

void Text(SheetGrid& g, std::uint32_t r, std::uint32_t c, const std::string& utf8)
{
    if (TextConversions::IsAscii(utf8))
        g.CellAt(r, c)->SetAnsiText(utf8);
    else
        g.CellAt(r, c)->SetWideText(TextConversions::Utf8ToUtf16(utf8));
}

} // namespace

void FillConfigure(ExcelDocument& doc)
{
    doc.NewBook({u"Sheet1"});
    SheetGrid& g = *doc.SheetAt(0);
    const char* labels[] = {"设置项", "照片文件夹", "相框文件夹", "挂件文件夹", "图像宽度", "图像高度", "已检测到摄像头", "延时拍照秒数"};
    for (std::uint32_t r = 0; r < 8; ++r)
        Text(g, r, 0, labels[r]);
    Text(g, 0, 1, "值");
    g.CellAt(1, 1); // rows 1 to 3 of column B stay empty: the default folders apply
    g.CellAt(4, 1)->SetInteger(640);
    g.CellAt(5, 1)->SetInteger(480);
    g.CellAt(6, 1)->SetInteger(0);
    g.CellAt(7, 1)->SetInteger(5);
}

bool FillSample(ExcelDocument& doc, const std::string& name)
{
    if (name == "configure") {
        FillConfigure(doc);
        return true;
    }
    if (name == "numbers") {
        doc.NewBook({u"Numbers"});
        SheetGrid& g = *doc.SheetAt(0);
        const double doubles[] = {640.0, 0.5, 1.23, 3.14159, -2.5e-3, 1e100, -0.01, 123456.78};
        for (std::uint32_t i = 0; i < 8; ++i) {
            g.CellAt(i, 0)->SetDouble(doubles[i]);           // single doubles: RK or NUMBER
            g.CellAt(i, 2)->SetInteger(static_cast<int>(i) * 1000 - 3000);
            g.CellAt(i, 3)->SetInteger(static_cast<int>(i));  // integer runs: MULRK
            g.CellAt(i, 4)->SetDouble(i * 0.25);              // double runs
            g.CellAt(i, 5)->SetDouble(i * 0.25 + 0.5);
        }
        g.CellAt(8, 0)->SetInteger(536870911);
        g.CellAt(8, 1)->SetInteger(-536870912);
        g.CellAt(8, 2)->SetInteger(1 << 30);                   // beyond RK integers: NUMBER
        for (std::uint32_t r = 9; r < 40; ++r)                 // 40 rows: two row blocks
            g.CellAt(r, 1)->SetInteger(static_cast<int>(r));
        g.CellAt(39, 7)->SetDouble(std::nextafter(1.0, 2.0));
        return true;
    }
    if (name == "texts") {
        doc.NewBook({u"Texts"});
        SheetGrid& g = *doc.SheetAt(0);
        Text(g, 0, 0, "plain");
        Text(g, 1, 0, "plain");
        Text(g, 2, 0, "plain");
        Text(g, 0, 1, "/home/用户/图片/");
        Text(g, 1, 1, "乐影屋");
        g.CellAt(2, 1)->SetAnsiText("caf\xE9");               // an 8-bit string beyond ASCII
        Text(g, 3, 3, "emoji 😀 and \"quotes\"");
        return true;
    }
    if (name == "sheets") {
        doc.NewBook({u"First", u"第二", u"Third"});
        for (std::uint32_t s = 0; s < 3; ++s) {
            SheetGrid& g = *doc.SheetAt(s);
            g.CellAt(s, s)->SetInteger(static_cast<int>(s) + 1);
            Text(g, s + 1, 0, "sheet " + std::to_string(s));
        }
        doc.SheetAt(2)->CellAt(70, 9)->SetDouble(2.75);
        return true;
    }
    if (name == "longsst") {
        doc.NewBook({u"Long"});
        SheetGrid& g = *doc.SheetAt(0);
        // Enough distinct strings, narrow and wide, of awkward lengths to cross several
        // 8224-byte record boundaries, one of them longer than a whole record.
        for (std::uint32_t r = 0; r < 600; ++r) {
            std::string s = "row " + std::to_string(r) + " " + std::string(r % 37, 'x');
            if (r % 3 == 0)
                s += "汉字" + std::string(r % 5, 'y');
            Text(g, r, 0, s);
        }
        Text(g, 600, 0, std::string(9000, 'L'));
        std::string wide;
        for (int i = 0; i < 5000; ++i)
            wide += "字";
        Text(g, 601, 0, wide);
        return true;
    }
    return false;
}
