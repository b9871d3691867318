#pragma once
// The key bytes that let a line through the fast scan to the matcher (see LineKeys).

#include <string>
#include <vector>

#include "search/simd/line_keys.h"

namespace sifter {

// Lead and follower choices that every line holding one of `forms` holds side by side (a lead
// alone when a form is a single byte), picked to be as rare in source text as the choices
// allow. The forms are already upper-cased when `ignoreCase` is set; a letter of theirs then
// stands for both of its cases. No form, or an empty one, gives no keys. At most two forms.
// The keys anchor a pair to where it stands in each form; they refer to `forms`, which must
// outlive them.
LineKeys KeysForForms(const std::vector<std::string>& forms, bool ignoreCase);

}  // namespace sifter
