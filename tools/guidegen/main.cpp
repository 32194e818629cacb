// guidegen GUIDE.html SHOTS_DIR OUT.pdf
// Lays the user guide out on A4 pages with Qt's own text document and writes it as a PDF with
// its fonts embedded. Pictures named in <img src="..."> are read from SHOTS_DIR; a missing one
// fails the run rather than leaving a hole in the guide.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

namespace {

// Has the Chinese characters and Latin letters alike, so both editions read the same.
const char* const kFontFamily = "Noto Sans CJK SC";
constexpr int kFontPoints = 10;
// The width of the text on an A4 page with the margins below, in the document's own units.
constexpr double kTextWidth = 560;

int Fail(const QString& why)
{
    QTextStream(stderr) << "guidegen: " << why << "\n";
    return 1;
}

// The guide's title: the text of its first <h1>, for the PDF's own properties.
QString TitleOf(const QString& html)
{
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = heading.match(html);
    QString title = m.hasMatch() ? m.captured(1) : QString();
    return title.remove(QRegularExpression(QStringLiteral("<[^>]*>"))).trimmed();
}

// Pictures without a width of their own keep their pixel size, or shrink to the text's width.
void FitPictures(QTextDocument& document, const QHash<QString, QSize>& sizes)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            if (!picture.isValid() || picture.width() > 0 || !sizes.contains(picture.name()))
                continue;
            const QSize size = sizes.value(picture.name());
            const double scale = std::min(1.0, kTextWidth / size.width());
            picture.setWidth(size.width() * scale);
            picture.setHeight(size.height() * scale);
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(picture);
        }
    }
}

// The ideograph a radical code point stands for; 0 when it is not one.
char16_t IdeographOf(char16_t code)
{
    // Radicals that have the simplified form's own glyph; no normalisation names their ideograph.
    static const QHash<char16_t, char16_t> simplified {
        { 0x2EC5, 0x89C1 }, { 0x2EC6, 0x89D2 }, { 0x2EC9, 0x8D1D }, { 0x2ECB, 0x8F66 }, { 0x2ED3, 0x957F },
        { 0x2ED4, 0x95E8 }, { 0x2ED8, 0x9752 }, { 0x2ED9, 0x97E6 }, { 0x2EDA, 0x9875 }, { 0x2EDB, 0x98CE },
        { 0x2EDC, 0x98DE }, { 0x2EDD, 0x98DF }, { 0x2EE2, 0x9A6C }, { 0x2EE5, 0x9C7C }, { 0x2EE6, 0x9E1F },
        { 0x2EEE, 0x9F7F }, { 0x2EF0, 0x9F99 },
    };
    if (code >= 0x2E80 && code <= 0x2FDF) {
        if (const auto it = simplified.find(code); it != simplified.end())
            return it.value();
        const QString normal = QString(QChar(code)).normalized(QString::NormalizationForm_KC);
        if (normal.size() == 1 && normal.at(0).unicode() != code)
            return normal.at(0).unicode();
    }
    return 0;
}

// Qt's PDF writer names each glyph by the lowest code point the font maps to it, and the CJK
// fonts draw an ideograph and its look-alike radical with one glyph: "言" would read back, copy
// and search as the radical "⾔". The text maps (uncompressed, hexadecimal) are put right in place,
// one four-digit value for another, so that no offset in the file moves.
QByteArray WithIdeographsInTextMaps(QByteArray pdf)
{
    static const QRegularExpression value(QStringLiteral("<([0-9A-F]{4})>"));
    static const QRegularExpression singleRange(QStringLiteral("^(<[0-9A-F]{4}>) \\1 <([0-9A-F]{4})>$"));
    qsizetype from = 0;
    while ((from = pdf.indexOf("begincmap", from)) >= 0) {
        const qsizetype to = pdf.indexOf("endcmap", from);
        if (to < 0)
            break;
        qsizetype lineStart = from;
        while (lineStart < to) {
            qsizetype lineEnd = pdf.indexOf('\n', lineStart);
            if (lineEnd < 0 || lineEnd > to)
                lineEnd = to;
            const QString line = QString::fromLatin1(pdf.mid(lineStart, lineEnd - lineStart));
            // Only values a single code maps to: inside [ ] lists, or a range of one code.
            qsizetype valuesFrom = line.indexOf(QLatin1Char('['));
            if (valuesFrom < 0 && singleRange.match(line).hasMatch())
                valuesFrom = line.lastIndexOf(QLatin1Char('<'));
            for (auto it = value.globalMatch(line); valuesFrom >= 0 && it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                if (m.capturedStart() < valuesFrom)
                    continue;
                if (const char16_t ideograph = IdeographOf(char16_t(m.captured(1).toUInt(nullptr, 16))))
                    pdf.replace(lineStart + m.capturedStart(1), 4,
                        QByteArray::number(unsigned(ideograph), 16).toUpper().rightJustified(4, '0'));
            }
            lineStart = lineEnd + 1;
        }
        from = to;
    }
    return pdf;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        QTextStream(stderr) << "usage: guidegen GUIDE.html SHOTS_DIR OUT.pdf\n";
        return 2;
    }
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1").arg(args[1]));
    const QString html = QString::fromUtf8(source.readAll());
    if (!QFontDatabase::families().contains(QString::fromUtf8(kFontFamily)))
        return Fail(QStringLiteral("the font %1 is not installed (Debian package fonts-noto-cjk)").arg(kFontFamily));

    QTextDocument document;
    QFont font(QString::fromUtf8(kFontFamily), kFontPoints);
    // Any letter spacing turns the ligatures off: "ff" and "fi" would read back and be found as
    // one ligature character each.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.1);
    document.setDefaultFont(font);
    document.setHtml(html);
    const QString shots = QFileInfo(args[2]).absoluteFilePath() + QLatin1Char('/');
    QHash<QString, QSize> sizes;
    static const QRegularExpression picture(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
    for (auto it = picture.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QImage image(shots + name);
        if (image.isNull())
            return Fail(QStringLiteral("the picture %1 is missing from %2").arg(name, shots));
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        sizes.insert(name, image.size());
    }
    FitPictures(document, sizes);

    {
        QPdfWriter writer(args[3]);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
            QPageLayout::Millimeter));
        writer.setResolution(300);
        writer.setTitle(TitleOf(html));
        writer.setCreator(QStringLiteral("Parvel"));
        document.print(&writer);
    } // the file is complete once the writer is gone
    QFile written(args[3]);
    if (!written.open(QIODevice::ReadOnly) || written.size() == 0)
        return Fail(QStringLiteral("cannot write %1").arg(args[3]));
    const QByteArray fixed = WithIdeographsInTextMaps(written.readAll());
    written.close();
    if (!written.open(QIODevice::WriteOnly | QIODevice::Truncate) || written.write(fixed) != fixed.size())
        return Fail(QStringLiteral("cannot write %1").arg(args[3]));
    return 0;
}
