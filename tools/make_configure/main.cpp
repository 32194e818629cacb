// make_configure: writes the settings workbook the program ships with.
//
//   make_configure [--if-missing] <path>      write the settings workbook
//   make_configure --dump <path>              print a workbook's sheets as JSON
//   make_configure --sample <name> <path>     write a sample workbook, print what it holds
//   make_configure --rewrite <from> <to>      open a workbook and write it back
#include "Samples.h"
#include "WorkbookJson.h"

#include "settings/ExcelDocument.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

int Fail(const char* what, const std::string& path, Status st)
{
    std::fprintf(stderr, "make_configure: %s %s failed (code %d)\n", what, path.c_str(), st.value());
    return 1;
}

std::size_t StreamSize(const ExcelDocument& doc)
{
    auto size = doc.Storage().StreamSize(u"Workbook");
    return size ? size.value() : 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: make_configure [--if-missing] <path> | --dump <path> | --sample <name> <path> | --rewrite <from> <to>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string mode = argv[1];
    if (mode == "--dump" && argc == 3) {
        ExcelDocument doc;
        if (Status st = doc.OpenBook(argv[2]); !st)
            return Fail("opening", argv[2], st);
        std::fputs(WorkbookJson(doc, StreamSize(doc)).c_str(), stdout);
        return 0;
    }
    if (mode == "--sample" && argc == 4) {
        ExcelDocument doc;
        if (!FillSample(doc, argv[2]))
            return Usage();
        if (Status st = doc.WriteBook(argv[3]); !st)
            return Fail("writing", argv[3], st);
        std::fputs(WorkbookJson(doc, StreamSize(doc)).c_str(), stdout);
        return 0;
    }
    if (mode == "--rewrite" && argc == 4) {
        ExcelDocument doc;
        if (Status st = doc.OpenBook(argv[2]); !st)
            return Fail("opening", argv[2], st);
        if (Status st = doc.WriteBook(argv[3]); !st)
            return Fail("writing", argv[3], st);
        return 0;
    }
    const bool ifMissing = mode == "--if-missing";
    if ((ifMissing && argc != 3) || (!ifMissing && argc != 2) || (!ifMissing && mode.rfind("--", 0) == 0))
        return Usage();
    const std::filesystem::path path = argv[ifMissing ? 2 : 1];
    std::error_code ec;
    // A rebuild must not undo the user's settings.
    if (ifMissing && std::filesystem::exists(path, ec))
        return 0;
    ExcelDocument doc;
    FillConfigure(doc);
    if (Status st = doc.WriteBook(path); !st)
        return Fail("writing", path.string(), st);
    return 0;
}
