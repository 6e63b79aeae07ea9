// SPDX-License-Identifier: Apache-2.0
#include "window/details_boxes.h"

#include <stdexcept>
#include <string>

#include "window/window_texts.h"

namespace corvadex {

const std::array<DetailsPage, kDetailsPageCount> kDetailsPages{{
    {"TabSheetContact", QT_TRANSLATE_NOOP("ContactDetailsView", " Contact ")},
    {"TabSheetPersonal", QT_TRANSLATE_NOOP("ContactDetailsView", " Personal ")},
    {"TabSheet3", QT_TRANSLATE_NOOP("ContactDetailsView", " Work ")},
    {"TabSheet4", QT_TRANSLATE_NOOP("ContactDetailsView", " IM ")},
    {"TabSheetNotes", QT_TRANSLATE_NOOP("ContactDetailsView", " Notes ")},
}};

namespace {
constexpr int kEditHeight = 21;
}  // namespace

// Pages in tab order; within a page the boxes are listed row by row, left
// box before right box, which is also their keyboard tab order.
const std::array<DetailsBox, kDetailsBoxCount> kDetailsBoxes{{
    {0, "EditFirstname", QT_TRANSLATE_NOOP("ContactDetailsView", "First name:"), 40, 8, 33, 24, 170, kEditHeight, "FirstName"},
    {0, "EditMiddlename", QT_TRANSLATE_NOOP("ContactDetailsView", "Middle name:"), 248, 8, 240, 24, 170, kEditHeight, "MiddleName"},
    {0, "EditLastname", QT_TRANSLATE_NOOP("ContactDetailsView", "Last name:"), 40, 56, 33, 72, 170, kEditHeight, "LastName"},
    {0, "EditNickname", QT_TRANSLATE_NOOP("ContactDetailsView", "Nickname:"), 248, 56, 240, 72, 170, kEditHeight, "NickName"},
    {0, "EditHomephone", QT_TRANSLATE_NOOP("ContactDetailsView", "Home phone:"), 40, 104, 33, 120, 170, kEditHeight, "HomePhone"},
    {0, "EditPersonalemail", QT_TRANSLATE_NOOP("ContactDetailsView", "Personal e-mail:"), 248, 104, 240, 120, 170, kEditHeight, "HomeEmail"},
    {0, "EditWorkphone", QT_TRANSLATE_NOOP("ContactDetailsView", "Work phone:"), 40, 152, 33, 168, 170, kEditHeight, "WorkPhone"},
    {0, "EditWorkemail", QT_TRANSLATE_NOOP("ContactDetailsView", "Work e-mail:"), 248, 152, 240, 168, 170, kEditHeight, "WorkEmail"},
    {0, "EditMobilephone", QT_TRANSLATE_NOOP("ContactDetailsView", "Mobile phone:"), 40, 200, 33, 216, 170, kEditHeight, "MobilePhone"},
    {0, "EditOtheremail", QT_TRANSLATE_NOOP("ContactDetailsView", "Other e-mail:"), 248, 200, 240, 216, 170, kEditHeight, "OtherEmail"},
    {0, "EditOtherphone", QT_TRANSLATE_NOOP("ContactDetailsView", "Other phone:"), 40, 248, 33, 264, 170, kEditHeight, "OtherPhone"},

    {1, "EditStreetaddress", QT_TRANSLATE_NOOP("ContactDetailsView", "Street address:"), 32, 8, 32, 24, 170, kEditHeight, "HomeStreet"},
    {1, "EditCity", QT_TRANSLATE_NOOP("ContactDetailsView", "City:"), 216, 8, 208, 24, 170, kEditHeight, "HomeCity"},
    {1, "EditStateprovince", QT_TRANSLATE_NOOP("ContactDetailsView", "State/province:"), 32, 48, 32, 64, 170, kEditHeight, "HomeState"},
    {1, "EditZIPpostalcode", QT_TRANSLATE_NOOP("ContactDetailsView", "ZIP/postal code:"), 208, 48, 208, 64, 170, kEditHeight, "HomeZipCode"},
    {1, "EditCountryregion", QT_TRANSLATE_NOOP("ContactDetailsView", "Country/region:"), 32, 96, 32, 112, 170, kEditHeight, "HomeCountry"},
    {1, "EditHomephone2", QT_TRANSLATE_NOOP("ContactDetailsView", "Home phone:"), 208, 92, 208, 112, 170, kEditHeight, "HomePhone"},
    {1, "EditHomefax", QT_TRANSLATE_NOOP("ContactDetailsView", "Home fax"), 32, 144, 32, 160, 170, kEditHeight, "HomeFax"},
    {1, "EditPersonalemail2", QT_TRANSLATE_NOOP("ContactDetailsView", "Personal e-mail:"), 208, 144, 208, 160, 170, kEditHeight, "HomeEmail"},
    {1, "EditPersonalwebsite", QT_TRANSLATE_NOOP("ContactDetailsView", "Personal website:"), 32, 192, 32, 208, 170, kEditHeight, "HomeWebSite"},
    {1, "EditBirthday", QT_TRANSLATE_NOOP("ContactDetailsView", "Birthday:"), 208, 192, 208, 208, 170, kEditHeight, "Birthdate"},
    {1, "EditSignificantother", QT_TRANSLATE_NOOP("ContactDetailsView", "Significant Other:"), 32, 240, 32, 256, 170, kEditHeight, "SpouseName"},
    {1, "EditAnniversary", QT_TRANSLATE_NOOP("ContactDetailsView", "Anniversary:"), 208, 240, 208, 256, 170, kEditHeight, "Anniversary"},

    {2, "EditCompany", QT_TRANSLATE_NOOP("ContactDetailsView", "Company:"), 24, 16, 24, 32, 121, kEditHeight, "CompanyName"},
    {2, "EditJobtitle", QT_TRANSLATE_NOOP("ContactDetailsView", "Job title:"), 216, 16, 208, 32, 121, kEditHeight, "JobTitle"},
    {2, "EditWorkStreetaddress", QT_TRANSLATE_NOOP("ContactDetailsView", "Street address:"), 24, 64, 24, 80, 121, kEditHeight, "WorkStreet"},
    {2, "EditWorkCity", QT_TRANSLATE_NOOP("ContactDetailsView", "City:"), 216, 64, 208, 80, 121, kEditHeight, "WorkCity"},
    {2, "EditWorkStateprovince", QT_TRANSLATE_NOOP("ContactDetailsView", "State/province:"), 24, 112, 24, 128, 121, kEditHeight, "WorkState"},
    {2, "EditWorkZIPPostalcode", QT_TRANSLATE_NOOP("ContactDetailsView", "ZIP/Postal code:"), 208, 112, 208, 128, 121, kEditHeight, "WorkZipCode"},
    {2, "EditWorkCountryregion", QT_TRANSLATE_NOOP("ContactDetailsView", "Country/region:"), 24, 160, 24, 176, 121, kEditHeight, "WorkCountry"},
    {2, "EditWorkphone2", QT_TRANSLATE_NOOP("ContactDetailsView", "Work phone:"), 208, 160, 208, 176, 121, kEditHeight, "WorkPhone"},
    {2, "EditWorkemail2", QT_TRANSLATE_NOOP("ContactDetailsView", "Work e-mail:"), 24, 208, 24, 224, 121, kEditHeight, "WorkEmail"},
    {2, "EditOtherphone2", QT_TRANSLATE_NOOP("ContactDetailsView", "Other phone:"), 208, 208, 208, 224, 121, kEditHeight, "OtherPhone"},
    {2, "EditPager", QT_TRANSLATE_NOOP("ContactDetailsView", "Pager:"), 24, 256, 24, 272, 121, kEditHeight, "Pager"},
    {2, "EditWorkwebsite", QT_TRANSLATE_NOOP("ContactDetailsView", "Work website:"), 208, 256, 208, 272, 121, kEditHeight, "WorkWebSite"},

    {3, "EditWLMAddress", QT_TRANSLATE_NOOP("ContactDetailsView", "Windows Live Messanger Address:"), 32, 32, 40, 56, 337, kEditHeight, "UnresolvedEmail"},
    {3, "EditOtherIMAddress", QT_TRANSLATE_NOOP("ContactDetailsView", "Other instant massaging address:"), 48, 168, 48, 208, 329, kEditHeight, "OtherImEmail"},

    {4, "MemoNotes", "", 0, 0, 16, 24, 377, 273, "Comments"},
}};

const ContactColumn& columnOf(const DetailsBox& box) {
  for (const ContactColumn& c : kContactColumns)
    if (c.name == box.column) return c;
  throw std::logic_error("details box shows an unknown column: " + std::string(box.column));
}

}  // namespace corvadex
