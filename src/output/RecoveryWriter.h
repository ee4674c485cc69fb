#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <memory>
#include <span>
#include <string>

// A recovery file: all of an unsaved stylesheet that a saved file would not keep. Its first
// line names the format and its version; then the file "Megnyitás" read (percent-encoded
// bytes, or nothing), the rule the panels stood for ("body", "divN" or nothing), each div's
// parent in number order, and the stylesheet as the stylesheet writer writes it:
//
//   Prizmo visszaállítási fájl 1
//   megnyitott:/home/anna/oldal.css
//   szabály:div1
//   szülők:-1 0
//   stíluslap:
//   <the stylesheet's bytes>
inline constexpr const char* recoveryFirstLine = "Prizmo visszaállítási fájl 1";

std::string recoveryText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs,
                         const std::string& panelsRule, const std::string& openedFileName);
