# SPDX-License-Identifier: Apache-2.0
# Checks an export of vCards against the plain CSV export of the same
# database (the 33 values by their XML attribute names, dates in the C
# locale's "MM/DD/YYYY"), with two independent readers: vobject and
# Evolution's EBookContacts (through GObject introspection).
#
# Evolution reads a 4.0 card by 3.0's rules, which end a value at a bare
# semicolon; 4.0 leaves semicolons bare outside N, ADR, ORG and the
# extension properties, so from a 4.0 card Evolution is expected to read
# those values up to their first semicolon, and every other value whole
# (the guide sends Evolution users to 3.0).
#
#   check_vcards.py CSV VCF|FOLDER VERSION [UIDS [--khard]]
#
# A FOLDER holds one card per file, named "<UID>.vcf" (4.0: without the
# "urn:uuid:"), read in name order and matched to the CSV rows by UID
# (listed in the file UIDS, one per row). --khard also has khard load the
# folder as its address book and checks what it reads of each contact.
# Prints each mismatch and exits 1 if there is any.
import csv
import os
import sys

import vobject
import gi

gi.require_version("EBookContacts", "1.2")
from gi.repository import EBookContacts as E  # noqa: E402

problems = []


def check(where, what, want, got):
    if want != got:
        problems.append(f"{where}: {what}: want {want!r:.150}, got {got!r:.150}")


def iso(date):  # "MM/DD/YYYY" -> "YYYY-MM-DD"; 1899-12-30 is the stored zero
    if not date:
        return ""
    m, d, y = date.split("/")
    return "" if (y, m, d) == ("1899", "12", "30") else f"{y}-{m}-{d}"


def lines(text):  # line breaks as a reader gives them back
    return text.replace("\r\n", "\n").replace("\r", "\n")


def display_name(r):
    names = " ".join(p for p in (r["first_name"], r["middle_name"], r["last_name"]) if p)
    if names:
        return names
    for k in ("nick_name", "company", "personal_email", "work_email", "other_email", "wlm_address",
              "home_phone", "work_phone", "mobile_phone", "other_phone", "pager", "home_fax",
              "other_im_address", "personal_website", "work_website"):
        if r[k]:
            return r[k]
    return "(no name)"


def by_type(card, name):
    out = {}
    for p in card.contents.get(name.lower(), []):
        out[",".join(t.upper() for t in p.params.get("TYPE", []))] = p.value
    return out


def check_vobject(where, r, card, v4):
    check(where, "VERSION", "4.0" if v4 else "3.0", card.version.value)
    check(where, "FN", lines(display_name(r)), card.fn.value)
    n = card.n.value
    check(where, "N", [lines(r[k]) for k in ("last_name", "first_name", "middle_name")],
          [n.family, n.given, n.additional])
    single = {"NICKNAME": "nick_name", "ORG": "company", "TITLE": "job_title", "NOTE": "notes",
              "X-EVOLUTION-SPOUSE": "significant_other", "X-MSN": "other_im_address"}
    for prop, key in single.items():
        got = card.contents.get(prop.lower())
        value = got[0].value if got else ""
        if prop == "ORG" and got:
            value = ";".join(value)
        check(where, prop, lines(r[key]), value)
    emails = {"HOME": "personal_email", "WORK": "work_email", "OTHER": "other_email", "X-WLM": "wlm_address"}
    phones = {"HOME,VOICE": "home_phone", "WORK,VOICE": "work_phone", "CELL": "mobile_phone", "VOICE": "other_phone",
              "PAGER": "pager", "HOME,FAX": "home_fax"}
    prefix = "" if v4 else "INTERNET,"
    check(where, "EMAIL", {prefix + t: r[k] for t, k in emails.items() if r[k]}, by_type(card, "EMAIL"))
    check(where, "TEL", {t: r[k] for t, k in phones.items() if r[k]}, by_type(card, "TEL"))
    check(where, "URL", {t: r[k] for t, k in (("HOME", "personal_website"), ("WORK", "work_website")) if r[k]},
          by_type(card, "URL"))
    for t, keys in (("HOME", ("street_address", "city", "state_province", "zip_postal_code", "country_region")),
                    ("WORK", ("work_street_address", "work_city", "work_state_province", "work_zip_postal_code",
                              "work_country_region"))):
        got = by_type(card, "ADR").get(t)
        want = [lines(r[k]) for k in keys] if any(r[k] for k in keys) else None
        check(where, "ADR " + t, want, got and [got.street, got.city, got.region, got.code, got.country])
    bday, anniversary = iso(r["birthday"]), iso(r["anniversary"])
    got = card.contents.get("bday")
    check(where, "BDAY", bday.replace("-", "") if v4 else bday, got[0].value if got else "")
    got = card.contents.get("x-anniversary")
    check(where, "X-ANNIVERSARY", anniversary, got[0].value if got else "")
    if v4:
        got = card.contents.get("anniversary")
        check(where, "ANNIVERSARY", anniversary.replace("-", ""), got[0].value if got else "")
        got = card.contents.get("related")
        check(where, "RELATED", lines(r["significant_other"]), got[0].value if got else "")
    got = card.contents.get("impp")
    im = r["other_im_address"]
    check(where, "IMPP", (im if ":" in im else "msnim:" + im) if im else "", got[0].value if got else "")
    return card.uid.value


def check_evolution(where, r, text, v4):
    c = E.Contact.new_from_vcard(text)
    p = c.props

    def bare(value):  # a value whose semicolons a 4.0 card leaves bare
        # Evolution ends it at the first one, less the white space before it.
        return value.split(";")[0].strip() if v4 and ";" in value else value

    check(where, "evolution full name", bare(lines(display_name(r))), p.full_name or "")
    # Evolution drops the white space that ends a note.
    check(where, "evolution note", bare(lines(r["notes"])).rstrip(), p.note or "")
    for prop, key, escaped in (("given_name", "first_name", True), ("family_name", "last_name", True),
                               ("nickname", "nick_name", False), ("org", "company", True),
                               ("title", "job_title", False), ("spouse", "significant_other", True),
                               ("home_phone", "home_phone", False), ("business_phone", "work_phone", False),
                               ("mobile_phone", "mobile_phone", False), ("other_phone", "other_phone", False),
                               ("pager", "pager", False), ("home_fax", "home_fax", False)):
        want = lines(r[key])
        check(where, "evolution " + prop, want if escaped else bare(want), getattr(p, prop) or "")
    emails = [(a.get_value(), [t.upper() for prm in a.get_params() for t in prm.get_values()])
              for a in c.get_attributes(E.ContactField.EMAIL)]
    want = [bare(r[k]) for k in ("personal_email", "work_email", "other_email", "wlm_address") if r[k]]
    check(where, "evolution e-mail", want, [e for e, _ in emails])
    check(where, "evolution IM (MSN)", [r["other_im_address"]] if r["other_im_address"] else [],
          [a.get_value() for a in c.get_attributes(E.ContactField.IM_MSN)])
    for prop, key in (("birth_date", "birthday"), ("anniversary", "anniversary")):
        d = getattr(p, prop)
        check(where, "evolution " + prop, iso(r[key]), d.to_string() if d else "")
    for prop, keys in (("address_home", ("street_address", "city", "state_province", "zip_postal_code",
                                         "country_region")),
                       ("address_work", ("work_street_address", "work_city", "work_state_province",
                                         "work_zip_postal_code", "work_country_region"))):
        a = getattr(p, prop)
        want = [lines(r[k]) for k in keys] if any(r[k] for k in keys) else None
        check(where, "evolution " + prop, want, a and [a.street, a.locality, a.region, a.code, a.country])


def check_khard(where, r, contact):
    check(where, "khard formatted name", lines(display_name(r)), contact.formatted_name)
    for what, keys, got in (("first name", ("first_name",), contact.first_name),
                            ("last name", ("last_name",), contact.last_name)):
        check(where, "khard " + what, " ".join(lines(r[k]) for k in keys if r[k]), got)
    for what, key, got in (("nicknames", "nick_name", contact.nicknames), ("titles", "job_title", contact.titles),
                           ("notes", "notes", contact.notes)):
        check(where, "khard " + what, [lines(r[key])] if r[key] else [], got)
    check(where, "khard organisations", [[lines(r["company"])]] if r["company"] else [], contact.organisations)
    check(where, "khard e-mail", sorted(r[k] for k in ("personal_email", "work_email", "other_email", "wlm_address")
                                        if r[k]), sorted(e for es in contact.emails.values() for e in es))
    check(where, "khard phones", sorted(r[k] for k in ("home_phone", "work_phone", "mobile_phone", "other_phone",
                                                       "pager", "home_fax") if r[k]),
          sorted(p for ps in contact.phone_numbers.values() for p in ps))
    check(where, "khard web pages", sorted(r[k] for k in ("personal_website", "work_website") if r[k]),
          sorted(contact.webpages))
    got = {t.upper(): [[a[f] for f in ("street", "city", "region", "code", "country")] for a in addresses]
           for t, addresses in contact.post_addresses.items()}
    want = {}
    for t, keys in (("HOME", ("street_address", "city", "state_province", "zip_postal_code", "country_region")),
                    ("WORK", ("work_street_address", "work_city", "work_state_province", "work_zip_postal_code",
                              "work_country_region"))):
        if any(r[k] for k in keys):
            want[t] = [[lines(r[k]) for k in keys]]
    check(where, "khard addresses", want, got)
    for what, key, got in (("birthday", "birthday", contact.birthday), ("anniversary", "anniversary",
                                                                        contact.anniversary)):
        check(where, "khard " + what, iso(r[key]), got.date().isoformat() if got else "")


def khard_contacts(folder):
    from khard.address_book import VdirAddressBook
    book = VdirAddressBook("cards", folder)
    book.load()
    return {os.path.basename(c.filename): c for c in book.contacts.values()}


def split_cards(text):
    return [part + "END:VCARD\r\n" for part in text.split("END:VCARD\r\n") if part.strip()]


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, strict=True))
    target, v4 = sys.argv[2], sys.argv[3] == "4.0"
    if os.path.isdir(target):
        texts = []
        for name in sorted(os.listdir(target)):
            with open(os.path.join(target, name), encoding="utf-8", newline="") as f:
                texts.append((name, f.read()))
        # Files come in name order; match them to the rows through the
        # identifiers the single-file export gives the same rows.
        with open(sys.argv[4], encoding="utf-8", newline="") as f:
            order = {uid.removeprefix("urn:uuid:"): i for i, uid in enumerate(f.read().split())}
        texts.sort(key=lambda t: order.get(t[0][:-4], -1))
        if "--khard" in sys.argv:
            contacts = khard_contacts(target)
            check("folder", "khard contacts", len(texts), len(contacts))
            for i, (r, (name, _)) in enumerate(zip(rows, texts)):
                if name in contacts:
                    check_khard(f"card {i} ({name})", r, contacts[name])
        for name, text in texts:
            check(name, "cards in file", 1, len(split_cards(text)))
        texts = [text for _, text in texts]
    else:
        with open(target, encoding="utf-8", newline="") as f:
            texts = split_cards(f.read())
    check("file", "cards", len(rows), len(texts))
    uids = []
    for i, (r, text) in enumerate(zip(rows, texts)):
        cards = list(vobject.readComponents(text))
        check(f"card {i}", "vobject cards", 1, len(cards))
        uids.append(check_vobject(f"card {i}", r, cards[0], v4))
        check_evolution(f"card {i}", r, text, v4)
    check("file", "distinct UIDs", len(uids), len(set(uids)))
    for line in problems[:40]:
        print(line)
    for uid in uids:
        print("UID", uid)
    sys.exit(1 if problems else 0)


main()
