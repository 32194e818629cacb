#include "app/Looks.h"

#include <QApplication>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <memory>

namespace {

constexpr const char* kLookKey = "ApplicationLook";

// The colours a look is made of: window and buttons, text, bars (a gradient) and the accent.
struct Scheme {
    const char* window;
    const char* button;
    const char* base;
    const char* text;
    const char* barTop;
    const char* barBottom;
    const char* accent;
    const char* accentText;
};

// The colour `share` of the way from a to b.
QColor Blend(const QColor& a, const QColor& b, double share)
{
    auto mix = [share](int x, int y) { return qRound(x + (y - x) * share); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

QPalette PaletteOf(const Scheme& s)
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(s.window));
    p.setColor(QPalette::Button, QColor(s.button));
    p.setColor(QPalette::Base, QColor(s.base));
    p.setColor(QPalette::AlternateBase, QColor(s.button));
    p.setColor(QPalette::WindowText, QColor(s.text));
    p.setColor(QPalette::ButtonText, QColor(s.text));
    p.setColor(QPalette::Text, QColor(s.text));
    p.setColor(QPalette::ToolTipBase, QColor(s.base));
    p.setColor(QPalette::ToolTipText, QColor(s.text));
    p.setColor(QPalette::Highlight, QColor(s.accent));
    p.setColor(QPalette::HighlightedText, QColor(s.accentText));
    // Disabled text half-way to the background: a lighter shade of a dark blue is a bright blue,
    // and of a light grey white, both of which read as enabled.
    const QColor disabled = Blend(QColor(s.text), QColor(s.window), 0.55);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    // The filled part of a disabled slider's groove.
    p.setColor(QPalette::Disabled, QPalette::Highlight, disabled);
    // The style etches disabled menu text with this shade one pixel off; a white etch on a dark
    // menu makes the text look enabled again, so it matches the menu's background.
    p.setColor(QPalette::Disabled, QPalette::Light, QColor(s.base));
    return p;
}

QString SheetOf(const Scheme& s)
{
    return QStringLiteral(
        "QToolBar, QStatusBar, QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2);"
        " color: %3; border: none; }"
        "QStatusBar QLabel { color: %3; }"
        "QToolBar QToolButton { color: %3; padding: 3px 6px; border-radius: 3px; }"
        "QToolBar QToolButton:hover { background: %4; color: %5; }"
        "QToolBar QToolButton:checked { background: %4; color: %5; }"
        "QToolBar QToolButton:disabled { color: palette(mid); }"
        "QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); color: %3;"
        " padding: 4px 14px; border: 1px solid %4; border-bottom: none; border-top-left-radius: 4px;"
        " border-top-right-radius: 4px; }"
        "QTabBar::tab:selected { background: %4; color: %5; }"
        // The ribbon: panels on the bars' gradient, pressed commands in the accent colour.
        "#ribbonPanels, #ribbonCategory { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); }"
        "#ribbonPanelDropDown { background: %2; }"
        "#ribbonPanelCaption { color: %3; }"
        "#ribbon QToolButton { color: %3; border: 1px solid transparent; border-radius: 3px; padding: 1px 3px; }"
        "#ribbon QToolButton:hover { border-color: %4; }"
        "#ribbon QToolButton:checked { background: %4; color: %5; }"
        "#ribbon QCheckBox, #ribbon QLabel { color: %3; }"
        "#ribbonApplicationButton { background: %4; color: %5; font-weight: bold; padding: 3px 10px; }"
        "#ribbonTabs::tab { background: transparent; border: 1px solid transparent; color: %3; padding: 4px 14px; }"
        "#ribbonTabs::tab:selected { background: %1; border: 1px solid %4; border-bottom: none; color: %3; }")
        .arg(QLatin1String(s.barTop), QLatin1String(s.barBottom), QLatin1String(s.text), QLatin1String(s.accent),
            QLatin1String(s.accentText));
}

Scheme SchemeOf(LookId id)
{
    switch (id) {
    case kLookOffice2007Black:
        return { "#3c3f44", "#4a4e55", "#2b2d31", "#f2f2f2", "#5a5f67", "#2e3035", "#f0a53a", "#1d1d1d" };
    case kLookOffice2007Silver:
        return { "#e9eaee", "#f3f4f6", "#ffffff", "#2b2f36", "#fafbfc", "#cfd3da", "#8593a8", "#ffffff" };
    case kLookOffice2007Aqua:
        return { "#dcf1f0", "#e8f7f6", "#ffffff", "#0f4a49", "#eefaf9", "#a9dcda", "#1c9a96", "#ffffff" };
    case kLookWindows7:
        return { "#f0f0f0", "#fbfbfb", "#ffffff", "#1e1e1e", "#ffffff", "#dae6f4", "#3399ff", "#ffffff" };
    case kLookOfficeXp:
        return { "#f7f6f3", "#fcfbf9", "#ffffff", "#202020", "#fcfbf9", "#e4e2dc", "#b6bdd2", "#000000" };
    case kLookWindows:
        return { "#d4d0c8", "#dcd8d0", "#ffffff", "#000000", "#dcd8d0", "#c8c4bc", "#0a246a", "#ffffff" };
    case kLookOffice2003:
        return { "#d6e6fb", "#e3eefc", "#ffffff", "#0b2a5b", "#e3effd", "#9ebfee", "#f8c77e", "#000000" };
    case kLookVs2005:
        return { "#ece9d8", "#f4f2e8", "#ffffff", "#222222", "#faf9f4", "#dcd8c0", "#c1d2ee", "#000000" };
    case kLookVs2008:
        return { "#e9ecfa", "#f2f4fc", "#ffffff", "#1b2040", "#f7f8fe", "#cfd5f1", "#9aa8e6", "#000000" };
    case kLookOffice2007Blue:
    default:
        return { "#dbe7f5", "#e7f0fb", "#ffffff", "#15428b", "#eef4fc", "#bcd2ef", "#3d7bcc", "#ffffff" };
    }
}

bool IsKnown(unsigned value)
{
    return (value >= kLookPlain && value <= kLookVs2008) || (value >= kLookOffice2007Blue && value <= kLookWindows7);
}

QSettings Profile()
{
    return QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

} // namespace

Look LookFor(unsigned value)
{
    const LookId id = IsKnown(value) ? static_cast<LookId>(value) : kLookOffice2007Blue;
    if (id == kLookPlain) {
        // The style's own colours, no bars of ours.
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return { id, fusion->standardPalette(), QString() };
    }
    const Scheme scheme = SchemeOf(id);
    return { id, PaletteOf(scheme), SheetOf(scheme) };
}

unsigned StoredLook()
{
    bool ok = false;
    const unsigned value = Profile().value(kLookKey, unsigned(kLookWindows7)).toUInt(&ok);
    return ok ? value : unsigned(kLookWindows7);
}

void StoreLook(unsigned value)
{
    Profile().setValue(kLookKey, value);
}

void ApplyLook(QWidget& window, const Look& look)
{
    // One style under every look, so only the colours and bars differ from one to another.
    if (QApplication::style() == nullptr || QApplication::style()->name() != QLatin1String("fusion"))
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(look.palette);
    window.setStyleSheet(look.styleSheet);
    window.update();
}
