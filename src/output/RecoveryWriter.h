#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <memory>
#include <span>
#include <string>

// A recovery file: all of an unsaved stylesheet that a saved file would not keep. Its first
// line names the format and its version; then the file "Megnyitás" read, the rule the panels
// stood for ("body", "divN" or nothing), what its open edit held as typed (its edits' and
// lists' texts, each percent-encoded, a space between them; nothing when no edit was open),
// each div's parent in number order, and the stylesheet as the stylesheet writer writes it.
// A name is percent-encoded bytes, so that any name Linux allows comes back:
//
//   Prizmo visszaállítási fájl 2
//   megnyitott:/home/anna/oldal.css
//   szabály:div1
//   gépelt:555 200 14 0 semmilyen 0 relat%C3%ADv 1
//   szülők:-1 0
//   stíluslap:
//   <the stylesheet's bytes>
//
// Version 1 had no "gépelt:" line.
inline constexpr const char* recoveryFirstLine = "Prizmo visszaállítási fájl 2";
inline constexpr const char* recoveryFirstLineVersion1 = "Prizmo visszaállítási fájl 1";

std::string recoveryText(const BodyStyle* body, std::span<const std::unique_ptr<DivStyle>> divs,
                         const std::string& panelsRule, const std::string& openedFileName,
                         std::span<const std::string> typed = {});
