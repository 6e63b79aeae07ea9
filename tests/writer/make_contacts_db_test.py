#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""make-contacts-db's options, checked on the files and dumps it writes.
Environment: MAKE (the program)."""
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

MAKE = os.environ["MAKE"]

CONTACT_COLUMNS = (
    "NickName FirstName MiddleName LastName HomeEmail HomePhone WorkPhone WorkEmail MobilePhone "
    "OtherEmail OtherPhone HomeStreet HomeCity HomeState HomeZipCode HomeCountry HomeFax HomeWebSite "
    "Birthdate SpouseName Anniversary CompanyName JobTitle WorkStreet WorkCity WorkState WorkZipCode "
    "WorkCountry Pager WorkWebSite UnresolvedEmail OtherImEmail Comments").split()
LONG_TEXT = set("NickName HomeEmail WorkEmail OtherEmail HomeStreet HomeWebSite SpouseName JobTitle "
                "WorkStreet WorkWebSite UnresolvedEmail OtherImEmail Comments".split())
DATES = {"Birthdate", "Anniversary"}


class MakeContactsDb(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def make(self, *args, expect_ok=True):
        db = os.path.join(self.dir, "c.edb")
        js = os.path.join(self.dir, "c.json")
        r = subprocess.run([MAKE, *args, "--expected", js, db], capture_output=True, text=True)
        if expect_ok:
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(js, encoding="utf-8") as fh:
                return db, json.load(fh)
        return r

    def contact_tables(self, dump):
        return [t for t in dump["tables"] if t["name"].startswith("SimpleContact-")]

    def test_default_file_has_the_33_columns_with_their_types(self):
        db, dump = self.make("--count", "40")
        with open(db, "rb") as fh:
            header = fh.read(240)
        self.assertEqual(struct.unpack_from("<I", header, 4)[0], 0x89ABCDEF)
        self.assertEqual(struct.unpack_from("<I", header, 232)[0], 0x11)
        self.assertEqual(struct.unpack_from("<I", header, 236)[0], 8192)
        self.assertEqual(struct.unpack_from("<I", header, 52)[0], 3)  # clean shutdown
        self.assertEqual(dump["page_size"], 8192)
        [table] = self.contact_tables(dump)
        self.assertEqual(len(table["rows"]), 40)
        cols = {c["name"]: c for c in table["columns"]}
        for name in CONTACT_COLUMNS:
            c = cols[name]
            if name in DATES:
                self.assertEqual(c["type"], 8, name)
            else:
                self.assertEqual(c["type"], 12 if name in LONG_TEXT else 10, name)
                self.assertEqual(c["codepage"], 1200, name)
        # Other columns and tables besides, and the master order is not the id order.
        self.assertGreater(len(cols), 33)
        self.assertGreater(len(dump["tables"]), 4)
        ids = [cols[n]["id"] for n in CONTACT_COLUMNS]
        self.assertNotEqual(ids, sorted(ids))

    def test_values_are_realistic_and_short_texts_fit_128_units(self):
        _, dump = self.make("--count", "200", "--seed", "5")
        [table] = self.contact_tables(dump)
        cols = {c["name"]: c for c in table["columns"]}
        texts = []
        seen = {"null": False, "empty": False, "long": False, "date0": False, "time": False}
        for row in table["rows"]:
            for name in CONTACT_COLUMNS:
                v = row[name]
                if v is None:
                    seen["null"] = True
                    continue
                data = bytes.fromhex(v[0])
                if name in DATES:
                    days = struct.unpack("<d", data)[0]
                    seen["date0"] |= days == 0.0
                    seen["time"] |= days != int(days)
                    continue
                text = data.decode("utf-16-le")
                texts.append(text)
                seen["empty"] |= text == ""
                seen["long"] |= len(text) > 3000
                if cols[name]["type"] == 10:
                    self.assertLessEqual(len(data) // 2, 128, f"{name}: {text!r}")
        self.assertTrue(all(seen.values()), seen)
        joined = "".join(texts)
        for sample in ("&", "<", '"', "\n", "ü", "Д", "Ω" if "Ω" in joined else "Ε", "東", "🚀"):
            self.assertIn(sample, joined)
        self.assertTrue(any(ord(ch) > 0xFFFF for ch in joined))

    def test_same_seed_same_file_other_seed_other_values(self):
        db, dump1 = self.make("--count", "30", "--seed", "9")
        first = open(db, "rb").read()
        db, dump2 = self.make("--count", "30", "--seed", "9")
        self.assertEqual(first, open(db, "rb").read())
        _, dump3 = self.make("--count", "30", "--seed", "10")
        self.assertNotEqual(self.contact_tables(dump1)[0]["rows"], self.contact_tables(dump3)[0]["rows"])

    def test_edge_case_options(self):
        db, dump = self.make("--dirty", "--count", "3")
        with open(db, "rb") as fh:
            self.assertEqual(struct.unpack_from("<I", fh.read(56), 52)[0], 2)

        _, dump = self.make("--empty")
        [table] = self.contact_tables(dump)
        self.assertEqual(table["rows"], [])

        _, dump = self.make("--without-column", "MiddleName", "--without-column", "Pager")
        [table] = self.contact_tables(dump)
        names = {c["name"] for c in table["columns"]}
        self.assertNotIn("MiddleName", names)
        self.assertNotIn("Pager", names)
        self.assertIn("NickName", names)

        _, dump = self.make("--no-contact-table")
        self.assertEqual(self.contact_tables(dump), [])

        _, dump = self.make("--two-contact-tables", "--count", "5")
        tables = self.contact_tables(dump)
        self.assertEqual(len(tables), 2)
        self.assertNotEqual(tables[0]["name"], tables[1]["name"])
        self.assertNotEqual(tables[0]["rows"], tables[1]["rows"])

        _, dump = self.make("--long-table-name")
        names = [t["name"] for t in dump["tables"]]
        long_names = [n for n in names if len(n.encode()) > 256]
        self.assertEqual(len(long_names), 1)
        # It comes after the contact table in catalog order.
        self.assertLess(names.index(self.contact_tables(dump)[0]["name"]), names.index(long_names[0]))

        _, dump = self.make("--long-short-text", "--count", "2")
        [table] = self.contact_tables(dump)
        self.assertEqual(len(bytes.fromhex(table["rows"][0]["FirstName"][0])) // 2, 129)

    def test_every_page_size_and_revision_and_refusals(self):
        for page in ("4096", "8192", "16384", "32768"):
            for rev in ("0x09", "0x0c", "0x11", "0x14"):
                large = int(page) > 8192 and int(rev, 16) < 0x11
                if large:
                    r = self.make("--page-size", page, "--revision", rev, expect_ok=False)
                    self.assertEqual(r.returncode, 2)
                    continue
                db, dump = self.make("--count", "3", "--page-size", page, "--revision", rev)
                self.assertEqual(dump["page_size"], int(page))
                self.assertEqual(os.path.getsize(db) % int(page), 0)
        for bad in (["--page-size", "5000"], ["--revision", "0x10"], ["--count", "x"], ["--bogus"],
                    ["--without-column", "NoSuchColumn"]):
            r = self.make(*bad, expect_ok=False)
            self.assertNotEqual(r.returncode, 0, bad)
            self.assertIn("make-contacts-db:", r.stderr)
        r = subprocess.run([MAKE], capture_output=True, text=True)
        self.assertEqual(r.returncode, 2)


if __name__ == "__main__":
    unittest.main()
