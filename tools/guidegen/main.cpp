// guidegen GUIDE.html SHOTS_DIR OUT.pdf
// Lays the user guide out on A4 pages with Qt's own text document and writes it as a PDF with
// its fonts embedded. Pictures named in <img src="..."> are read from SHOTS_DIR; a missing one
// fails the run rather than leaving a hole in the guide.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextStream>
#include <QUrl>

namespace {

// Has the Chinese characters and Latin letters alike, so both editions read the same.
const char* const kFontFamily = "Noto Sans CJK SC";
constexpr int kFontPoints = 10;

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
    document.setDefaultFont(QFont(QString::fromUtf8(kFontFamily), kFontPoints));
    document.setHtml(html);
    const QString shots = QFileInfo(args[2]).absoluteFilePath() + QLatin1Char('/');
    static const QRegularExpression picture(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
    for (auto it = picture.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QImage image(shots + name);
        if (image.isNull())
            return Fail(QStringLiteral("the picture %1 is missing from %2").arg(name, shots));
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }

    QPdfWriter writer(args[3]);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
        QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(TitleOf(html));
    writer.setCreator(QStringLiteral("Parvel"));
    document.print(&writer);
    if (!QFileInfo(args[3]).exists() || QFileInfo(args[3]).size() == 0)
        return Fail(QStringLiteral("cannot write %1").arg(args[3]));
    return 0;
}
