#include "PictureReader.h"

#include <QImage>

namespace lumidex {

ReadOutcome ReadPictureFile(QImage& target, const std::string&) {
    target = QImage();
    return ReadOutcome::Failed;
}

} // namespace lumidex
