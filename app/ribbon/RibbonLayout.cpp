#include "app/ribbon/RibbonLayout.h"

#include "app/commands/CommandNames.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>

namespace {

struct LayoutError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

CommandId IdOf(const QJsonValue& value)
{
    const QString name = value.toString();
    const std::optional<CommandId> id = CommandIdFromName(name.toStdString());
    if (!id)
        throw LayoutError("unknown command \"" + name.toStdString() + "\"");
    return *id;
}

std::vector<CommandId> IdsOf(const QJsonValue& value)
{
    std::vector<CommandId> ids;
    for (const QJsonValue& item : value.toArray())
        ids.push_back(IdOf(item));
    return ids;
}

ControlLayout::Kind KindOf(const QString& type)
{
    static const std::pair<const char*, ControlLayout::Kind> kinds[] = {
        { "large", ControlLayout::Large }, { "small", ControlLayout::Small }, { "check", ControlLayout::Check },
        { "label", ControlLayout::Label }, { "separator", ControlLayout::Separator },
        { "slider", ControlLayout::Slider }, { "colour", ControlLayout::Colour },
        { "gallery", ControlLayout::Gallery }, { "pictures", ControlLayout::Pictures }, { "link", ControlLayout::Link }, { "menu", ControlLayout::Menu },
        { "icon", ControlLayout::Icon }, { "filepictures", ControlLayout::FilePictures },
    };
    for (const auto& [name, kind] : kinds)
        if (type == QLatin1String(name))
            return kind;
    throw LayoutError("unknown control type \"" + type.toStdString() + "\"");
}

ControlLayout ControlOf(const QJsonObject& o)
{
    ControlLayout c;
    c.kind = KindOf(o.value("type").toString());
    if (o.contains("id"))
        c.id = IdOf(o.value("id"));
    c.text = o.value("text").toString(o.value("caption").toString());
    c.keyTip = o.value("keyTip").toString();
    c.items = IdsOf(o.value("items"));
    c.perRow = o.value("perRow").toInt(0);
    c.minimum = o.value("minimum").toInt(c.minimum);
    c.maximum = o.value("maximum").toInt(c.maximum);
    c.start = o.value("start").toInt(c.start);
    c.width = o.value("width").toInt(c.width);
    const bool needsId = c.kind != ControlLayout::Label && c.kind != ControlLayout::Separator
        && c.kind != ControlLayout::Menu;
    if ((c.kind == ControlLayout::Link || c.kind == ControlLayout::Label) && c.text.isEmpty())
        throw LayoutError("a link or label without its text");
    if (needsId && !c.id)
        throw LayoutError("a control of type \"" + o.value("type").toString().toStdString() + "\" without an id");
    return c;
}

PanelLayout PanelOf(const QJsonObject& o)
{
    PanelLayout p;
    p.caption = o.value("caption").toString();
    p.keyTip = o.value("keyTip").toString();
    const QString arrange = o.value("arrange").toString();
    p.arrange = arrange == QLatin1String("justified") ? PanelLayout::Justified
        : arrange == QLatin1String("centred")         ? PanelLayout::Centred
                                                      : PanelLayout::Columns;
    for (const QJsonValue& control : o.value("controls").toArray())
        p.controls.push_back(ControlOf(control.toObject()));
    return p;
}

} // namespace

std::vector<CommandId> RibbonLayout::PlacedIds() const
{
    std::vector<CommandId> ids;
    auto add = [&](const ControlLayout& c) {
        if (c.id)
            ids.push_back(*c.id);
        ids.insert(ids.end(), c.items.begin(), c.items.end());
    };
    add(application);
    for (const ControlLayout& c : tabRow)
        add(c);
    for (const CategoryLayout& category : categories)
        for (const PanelLayout& panel : category.panels)
            for (const ControlLayout& c : panel.controls)
                add(c);
    return ids;
}

std::optional<RibbonLayout> ParseRibbonLayout(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    try {
        if (!document.isObject())
            throw LayoutError(parseError.error != QJsonParseError::NoError ? parseError.errorString().toStdString()
                                                                            : "not an object");
        const QJsonObject root = document.object();
        RibbonLayout layout;
        const QJsonObject app = root.value("application").toObject();
        layout.application.kind = ControlLayout::Menu;
        layout.application.text = app.value("caption").toString();
        layout.application.keyTip = app.value("keyTip").toString();
        layout.application.items = IdsOf(app.value("items"));
        for (const QJsonValue& control : root.value("tabRow").toArray())
            layout.tabRow.push_back(ControlOf(control.toObject()));
        for (const QJsonValue& value : root.value("categories").toArray()) {
            const QJsonObject o = value.toObject();
            CategoryLayout category;
            category.caption = o.value("caption").toString();
            category.keyTip = o.value("keyTip").toString();
            for (const QJsonValue& panel : o.value("panels").toArray())
                category.panels.push_back(PanelOf(panel.toObject()));
            layout.categories.push_back(std::move(category));
        }
        if (layout.categories.empty())
            throw LayoutError("no categories");
        return layout;
    } catch (const LayoutError& e) {
        if (error != nullptr)
            *error = QString::fromStdString(e.what());
        return std::nullopt;
    }
}

const RibbonLayout& ProgramRibbonLayout()
{
    // Built into the program: a layout that does not read is a fault of the build, found by the
    // tests, never by a user.
    static const RibbonLayout layout = [] {
        QFile file(QStringLiteral(":/ribbon/ribbon.json"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the ribbon's layout is missing from the program's resources");
        QString error;
        std::optional<RibbonLayout> parsed = ParseRibbonLayout(file.readAll(), &error);
        if (!parsed)
            qFatal("the ribbon's layout does not read: %s", qPrintable(error));
        return std::move(*parsed);
    }();
    return layout;
}
