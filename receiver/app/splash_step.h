#pragma once

namespace receiver {

// The splash window, modal, before anything else of the start-up. A second copy started
// meanwhile finds this one and brings the splash forward.
void ShowSplash();

}  // namespace receiver
