#pragma once

// How large the picture is shown, as a share of the picture size.
enum DisplaySize : int {
    kDisplayFull = 0,
    kDisplayThreeQuarters = 1,
    kDisplayHalf = 2,
    // Not a share: as large as the view allows with the proportions kept, following its size.
    kDisplayFit = 3,
};
