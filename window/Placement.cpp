#include "window/Placement.h"

bool isGrabbable(const QRect& titleStrip, const QList<QRect>& screens, int grabPixels) {
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(titleStrip);
        if (shown.width() >= grabPixels && shown.height() >= grabPixels)
            return true;
    }
    return false;
}
