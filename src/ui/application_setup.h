#pragma once
// What the window program sets up once, right after its application object exists and before
// any window: its name, icon, style and font, and that Qt keeps no settings of the user's.

namespace sifter::ui {

void PrepareApplication();

}  // namespace sifter::ui
