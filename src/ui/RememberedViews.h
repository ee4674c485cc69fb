#pragma once

#include <QRect>

// What Prizmo remembers of its views between starts, and nothing else: whether a view
// ("view/rules", "view/preview") showed when last turned on or off, and where a window
// ("view/previewPlace") was last put. A settings file that cannot be read or written is the
// same as none.
bool rememberedShown(const char* view);
void rememberShown(const char* view, bool shown);
// A view's setting that is a number ("view/previewWidth"); `fallback` where none is kept.
int rememberedNumber(const char* view, int fallback);
void rememberNumber(const char* view, int number);
// An invalid rectangle for nowhere.
QRect rememberedPlace(const char* view);
void rememberPlace(const char* view, const QRect& place);
