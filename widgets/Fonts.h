#pragma once

namespace vantorix {

// The windows name Courier New, Arial, Impact and MS Sans Serif. Where one of
// them is not installed, a face of the same kind stands in: fixed pitch for
// Courier New, a sans face for Arial and MS Sans Serif, a bold condensed
// sans for Impact. fontconfig's own guess for a missing family can be a
// dingbat font, so the stand-ins are chosen here.
void installFontFallbacks();

}  // namespace vantorix
