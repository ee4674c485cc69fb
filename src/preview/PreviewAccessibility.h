#pragma once

// What a screen reader finds at the top of the preview: its window, with the page inside. The
// engine draws the page in a Qt Quick window that never shows, which Qt would otherwise list
// beside it as a frame of its own named "Offscreen".
void listOnlyShownWindowsForScreenReaders();
