#include "ViewerLayout.h"

#include <algorithm>
#include <cstdint>

namespace lumidex {

namespace {

int Scale(int value, int by, int over) {
    return std::max(1, static_cast<int>(int64_t{value} * by / std::max(over, 1)));
}

} // namespace

std::optional<ViewerLayout> LayoutViewer(const ViewerLayoutInput& in) {
    const int pw = in.picture.width(), ph = in.picture.height();
    if (pw <= 0 || ph <= 0) return std::nullopt;
    ViewerLayout out;
    const int fw = in.frame.width(), fh = in.frame.height();
    if (in.fixedSize) {
        out.client = in.client;
        const int cw = in.client.width(), ch = in.client.height();
        if (in.stretch) {
            const int w = Scale(pw, ch, ph);
            const int h = Scale(ph, cw, pw);
            if (w > cw)
                out.panel = QRect(0, (ch - h) / 2, cw, h);
            else
                out.panel = QRect((cw - w) / 2, 0, w, ch);
        } else {
            out.panel = QRect(0, 0, pw, ph);
        }
    } else {
        int ww = pw + fw, wh = ph + fh; // the window around the picture
        const int sw = in.screen.width(), sh = in.screen.height();
        if (ww > sw) {
            ww = sw;
            if (in.stretch) wh = Scale(ph, ww - fw, pw) + fh;
        }
        if (wh > sh) {
            wh = sh;
            if (in.stretch) ww = Scale(pw, wh - fh, ph) + fw;
        }
        const QSize client(std::max(1, ww - fw), std::max(1, wh - fh));
        out.panel = in.stretch ? QRect(QPoint(0, 0), client) : QRect(0, 0, pw, ph);
        out.client = client;
    }
    if (!in.fixedPosition) {
        const int ww = out.client.width() + fw;
        const int sw = in.screen.width();
        int left = 0;
        if (ww > sw || in.boundToReference)
            left = 0;
        else if (ww < sw / 2)
            left = sw / 2;
        else
            left = sw - ww;
        out.window = QPoint(in.screen.left() + left, in.screen.top());
    }
    return out;
}

} // namespace lumidex
