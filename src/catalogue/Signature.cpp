#include "Signature.h"

#include "Frame.h"

#include <QImage>

namespace lumidex {

int64_t ComputeSignature(const QImage&, Pdata&, SignatureMode, int, int, int, int, Frame&) { return -1; }

} // namespace lumidex
