// Where every control of the visible areas must land, in pixels at 96 and
// 144 DPI, worked out by hand from the forms' twips (15 and 10 twips a
// pixel, halves rounded up). Shared by the tests of every toolkit.
#pragma once

#include <vector>

#include "app/app_facts.h"
#include "app/geometry.h"

namespace qvl::test {

struct Placed {
  const char* name;
  PixelRect rect;  // in the container's pixels
};
struct ExpectedLayout {
  const char* form;
  const Variant* only;  // nullptr: the same in both builds
  int dpi;
  int client_width, client_height;
  std::vector<Placed> controls;
};

inline constexpr Variant kPlainOnly = Variant::PlainFont;
inline constexpr Variant kLcarsOnly = Variant::LcarsFont;

inline const std::vector<ExpectedLayout>& ExpectedLayouts() {
  static const std::vector<ExpectedLayout> layouts = {
      {"Main",
       nullptr,
       96,
       256,
       145,
       {{"Label2", {0, 2, 705, 21}},
        {"Command3", {198, 2, 238, 19}},
        {"Command4", {238, 2, 255, 19}},
        {"Final", {8, 24, 257, 105}},
        {"Label12", {8, 104, 257, 145}},
        {"Frame1", {93, 19, 238, 108}},
        {"Command6", {8, 8, 137, 25}},
        {"Command7", {8, 28, 137, 45}},
        {"Command5", {8, 48, 137, 65}},
        {"Command8", {8, 67, 137, 84}}}},
      {"Main",
       nullptr,
       144,
       384,
       218,
       {{"Label2", {0, 3, 1058, 32}},
        {"Command3", {297, 3, 357, 29}},
        {"Command4", {357, 3, 383, 29}},
        {"Final", {12, 36, 386, 158}},
        {"Label12", {12, 156, 386, 218}},
        {"Frame1", {140, 29, 358, 163}},
        {"Command6", {12, 12, 206, 38}},
        {"Command7", {12, 42, 206, 68}},
        {"Command5", {12, 72, 206, 98}},
        {"Command8", {12, 100, 206, 125}}}},
      {"BWF2D",
       nullptr,
       96,
       505,
       381,
       {{"Label1", {16, 8, 505, 105}},
        {"Label3", {16, 112, 497, 201}},
        {"Label4", {16, 208, 497, 305}},
        {"Command1", {400, 312, 481, 337}},
        {"Label2", {48, 352, 457, 377}}}},
      {"BWF2D",
       nullptr,
       144,
       758,
       572,
       {{"Label1", {24, 12, 758, 158}},
        {"Label3", {24, 168, 746, 302}},
        {"Label4", {24, 312, 746, 458}},
        {"Command1", {600, 468, 722, 506}},
        {"Label2", {72, 528, 686, 566}}}},
      {"frmAbout",
       &kPlainOnly,
       96,
       382,
       237,
       {{"picIcon", {16, 16, 52, 52}},
        {"lblTitle", {70, 16, 329, 48}},
        {"lblVersion", {70, 52, 161, 67}},
        {"Label4", {168, 52, 337, 67}},
        {"lblDescription", {8, 79, 347, 117}},
        {"Label1", {8, 124, 353, 157}},
        {"Label3", {8, 172, 89, 187}},
        {"lblDisclaimer", {9, 172, 267, 211}},
        {"cmdOK", {283, 175, 367, 198}},
        {"cmdSysInfo", {284, 205, 367, 228}}}},
      {"frmAbout",
       &kPlainOnly,
       144,
       573,
       356,
       {{"picIcon", {24, 24, 78, 78}},
        {"lblTitle", {105, 24, 494, 72}},
        {"lblVersion", {105, 78, 242, 101}},
        {"Label4", {252, 78, 506, 101}},
        {"lblDescription", {12, 119, 521, 176}},
        {"Label1", {12, 186, 530, 236}},
        {"Label3", {12, 258, 134, 281}},
        {"lblDisclaimer", {14, 258, 401, 317}},
        {"cmdOK", {425, 263, 551, 297}},
        {"cmdSysInfo", {426, 308, 551, 342}}}},
      {"frmAbout",
       &kLcarsOnly,
       96,
       382,
       230,
       {{"picIcon", {16, 16, 52, 52}},
        {"lblTitle", {70, 16, 329, 48}},
        {"lblVersion", {70, 52, 329, 67}},
        {"lblDescription", {16, 75, 355, 113}},
        {"Label1", {16, 120, 361, 153}},
        {"Label3", {16, 168, 97, 183}},
        {"lblDisclaimer", {17, 168, 275, 207}},
        {"cmdOK", {283, 168, 367, 191}},
        {"cmdSysInfo", {284, 200, 367, 223}}}},
      {"frmAbout",
       &kLcarsOnly,
       144,
       573,
       345,
       {{"picIcon", {24, 24, 78, 78}},
        {"lblTitle", {105, 24, 494, 72}},
        {"lblVersion", {105, 78, 494, 101}},
        {"lblDescription", {24, 113, 533, 170}},
        {"Label1", {24, 180, 542, 230}},
        {"Label3", {24, 252, 146, 275}},
        {"lblDisclaimer", {26, 252, 413, 311}},
        {"cmdOK", {425, 252, 551, 287}},
        {"cmdSysInfo", {426, 300, 551, 335}}}},
  };
  return layouts;
}

inline bool Applies(const ExpectedLayout& l, Variant v) {
  return !l.only || *l.only == v;
}

}  // namespace qvl::test
