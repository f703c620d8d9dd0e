// SPDX-License-Identifier: MIT
#pragma once

// Plays an enhanced metafile onto a QPainter, its picture frame stretched
// onto a rectangle: the drawing state, objects, coordinate spaces, paths
// and clipping of the records are kept as the platform keeps them while
// playing. Records that refer to state that is not there (an object never
// created, a RESTOREDC beyond the saved states) are ignored, as the
// platform ignores them. The painter's own state is left as it was.

#include "report/emf/emf_reader.h"

#include <QRectF>

class QPainter;

namespace dw {

void PlayEmf(QPainter& painter, const emf::EmfDocument& metafile, const QRectF& target);

}  // namespace dw
