#pragma once

#include <QPalette>
#include <QString>

class QWidget;

// The visual looks of the window, by their command values. 215 to 219 are offered to the user;
// the others come only from a stored value.
enum LookId : unsigned {
    kLookPlain = 205,
    kLookOfficeXp = 206,
    kLookWindows = 207,
    kLookOffice2003 = 208,
    kLookVs2005 = 209,
    kLookVs2008 = 210,
    kLookOffice2007Blue = 215,
    kLookOffice2007Black = 216,
    kLookOffice2007Silver = 217,
    kLookOffice2007Aqua = 218,
    kLookWindows7 = 219,
};

struct Look {
    LookId id;            // the look actually shown (an unknown value shows the Office 2007 blue one)
    QPalette palette;
    QString styleSheet;   // for the main window and its children
};

// The look a value selects.
Look LookFor(unsigned value);

// The stored look ("ApplicationLook" in the program's settings; 219 when none is stored).
unsigned StoredLook();
void StoreLook(unsigned value);

// Applies the look to the application and the window.
void ApplyLook(QWidget& window, const Look& look);
