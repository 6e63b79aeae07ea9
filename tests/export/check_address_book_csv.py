# SPDX-License-Identifier: Apache-2.0
# Checks a Google or Outlook CSV export against the plain CSV export of the
# same database (the 33 values by their XML attribute names, dates in the C
# locale's "MM/DD/YYYY"), read back with Python's csv module: every value
# under the column the importer maps, the rest in the notes with its label.
#
#   check_address_book_csv.py PLAIN_CSV OUT_CSV google|outlook
import csv
import sys

problems = []


def check(where, what, want, got):
    if want != got:
        problems.append(f"{where}: {what}: want {want!r:.150}, got {got!r:.150}")


def ymd(date):  # "MM/DD/YYYY" -> (y, m, d); the stored zero 1899-12-30 is no date
    if not date:
        return None
    m, d, y = date.split("/")
    return None if (y, m, d) == ("1899", "12", "30") else (y, m, d)


def google_date(date):
    t = ymd(date)
    return f"{t[0]}-{t[1]}-{t[2]}" if t else ""


def outlook_date(date):
    t = ymd(date)
    return f"{int(t[1])}/{int(t[2])}/{t[0]}" if t else ""


def notes(r, labelled):
    extra = [f"{label}: {r[key]}" for label, key in labelled if r[key]]
    if not extra:
        return r["notes"]
    return (r["notes"] + "\r\n\r\n" if r["notes"] else "") + "\r\n".join(extra)


def google(r):
    want = {"First Name": r["first_name"], "Middle Name": r["middle_name"], "Last Name": r["last_name"],
            "Nickname": r["nick_name"], "Organization Name": r["company"], "Organization Title": r["job_title"],
            "Birthday": google_date(r["birthday"]), "Notes": notes(r, [("Other IM address", "other_im_address")])}

    def group(kind, n, label, value):
        want[f"{kind} {n} - Label"] = label if value else ""
        want[f"{kind} {n} - Value"] = value

    for n, (label, key) in enumerate((("Home", "personal_email"), ("Work", "work_email"), ("Other", "other_email"),
                                      ("Windows Live", "wlm_address")), 1):
        group("E-mail", n, label, r[key])
    for n, (label, key) in enumerate((("Home", "home_phone"), ("Work", "work_phone"), ("Mobile", "mobile_phone"),
                                      ("Other", "other_phone"), ("Pager", "pager"), ("Home Fax", "home_fax")), 1):
        group("Phone", n, label, r[key])
    for n, (label, prefix) in enumerate((("Home", ""), ("Work", "work_")), 1):
        keys = [prefix + k for k in ("street_address", "city", "state_province", "zip_postal_code", "country_region")]
        want[f"Address {n} - Label"] = label if any(r[k] for k in keys) else ""
        for part, k in zip(("Street", "City", "Region", "Postal Code", "Country"), keys):
            want[f"Address {n} - {part}"] = r[k]
    group("Relation", 1, "Spouse", r["significant_other"])
    group("Website", 1, "Home Page", r["personal_website"])
    group("Website", 2, "Work", r["work_website"])
    group("Event", 1, "Anniversary", google_date(r["anniversary"]))
    return want


def outlook(r):
    return {"First Name": r["first_name"], "Middle Name": r["middle_name"], "Last Name": r["last_name"],
            "Company": r["company"], "Job Title": r["job_title"],
            "Business Street": r["work_street_address"], "Business City": r["work_city"],
            "Business State": r["work_state_province"], "Business Postal Code": r["work_zip_postal_code"],
            "Business Country/Region": r["work_country_region"],
            "Home Street": r["street_address"], "Home City": r["city"], "Home State": r["state_province"],
            "Home Postal Code": r["zip_postal_code"], "Home Country/Region": r["country_region"],
            "Business Phone": r["work_phone"], "Home Fax": r["home_fax"], "Home Phone": r["home_phone"],
            "Mobile Phone": r["mobile_phone"], "Other Phone": r["other_phone"], "Pager": r["pager"],
            "Anniversary": outlook_date(r["anniversary"]), "Birthday": outlook_date(r["birthday"]),
            "E-mail Address": r["personal_email"], "E-mail 2 Address": r["work_email"],
            "E-mail 3 Address": r["other_email"], "Spouse": r["significant_other"],
            "Web Page": r["personal_website"],
            "Notes": notes(r, [("Nickname", "nick_name"), ("Windows Live address", "wlm_address"),
                               ("Other IM address", "other_im_address"), ("Work web site", "work_website")])}


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, strict=True))
    layout = sys.argv[3]
    with open(sys.argv[2], "rb") as f:
        check("file", "byte order mark", layout == "outlook", f.read(3) == b"\xef\xbb\xbf")
    with open(sys.argv[2], encoding="utf-8-sig", newline="") as f:
        out = list(csv.DictReader(f, strict=True))
    check("file", "rows", len(rows), len(out))
    for i, (r, got) in enumerate(zip(rows, out)):
        want = google(r) if layout == "google" else outlook(r)
        check(f"row {i}", "columns", sorted(want), sorted(got))
        for column, value in want.items():
            check(f"row {i}", column, value, got.get(column))
    for line in problems[:40]:
        print(line)
    print(f"checked {len(out)} rows")
    sys.exit(1 if problems else 0)


main()
