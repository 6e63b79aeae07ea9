#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""Compare what an independent ESE reader finds in a database with the
writer's record of what it stored (a dump in the canonical format).

    check_independent.py --reader libesedb|impacket EXPECTED.json DATABASE

Exit status 0 when every compared value matches, 1 on a difference, 77 when
the reader is not installed (ctest counts that as skipped). Values a reader
cannot deliver are skipped, counted and named in the summary:

libesedb (python3-libesedb 20181229):
  - null and zero-length values both come back as empty data, and a
    zero-length tagged value as the rest of the record (its size is taken
    from the next offset only when that is larger), so zero-length values
    are skipped;
  - it has no accessor for multi-valued columns in this version, so
    multi-valued values are skipped;
  - it ignores the fixed-column null bitmap: a null fixed column inside the
    record reads as its slot's bytes (zeros here) and is skipped;
  - a tagged column missing from a record comes back empty instead of with
    the column's default value, so such defaults are skipped.
impacket (impacket.ese):
  - it does not follow long-value references: a value stored in the
    long-value tree comes back as its 4-byte id and is skipped;
  - multi-valued values come back as raw bytes and are skipped;
  - it ignores the fixed-column null bitmap, as libesedb does (skipped);
  - it does not apply column defaults to missing tagged columns (skipped);
  - it cannot read 16/32 KiB pages under Python 3 and stops on catalog
    rows whose Type is not a table, column, index or long value; such
    files are reported as skipped (exit 77).
"""
import json
import struct
import sys

TEXT_TYPES = {10, 12}
LONG_TYPES = {11, 12}


class Skips:
    def __init__(self):
        self.counts = {}

    def add(self, why):
        self.counts[why] = self.counts.get(why, 0) + 1


def load_expected(path):
    with open(path, encoding="utf-8") as fh:
        return json.load(fh)


def tables_libesedb(path):
    import pyesedb
    f = pyesedb.open(path)
    out = []
    for t in f.tables:
        columns = [(c.identifier, c.name, c.type) for c in t.columns]
        rows = []
        for r in t.records:
            values = {}
            for i in range(r.number_of_values):
                name = r.get_column_name(i)
                if r.is_multi_value(i):
                    values[name] = ("multi", None)
                elif r.is_long_value(i):
                    lv = r.get_value_data_as_long_value(i)
                    values[name] = ("bytes", lv.data if lv is not None else b"")
                else:
                    values[name] = ("bytes", r.get_value_data(i))
            rows.append(values)
        out.append((t.name, columns, rows))
    f.close()
    return out


def tables_impacket(path):
    from impacket.ese import ESENT_DB, ColumnTypeSize
    db = ESENT_DB(path)
    out = []
    for name, table in db._ESENT_DB__tables.items():
        columns = [(c["Record"]["Identifier"], cname.decode("utf-8"), c["Record"]["ColumnType"])
                   for cname, c in table["Columns"].items()]
        kinds = {cname.decode("utf-8"): c["Record"] for cname, c in table["Columns"].items()}
        cursor = db.openTable(name)
        rows = []
        while True:
            rec = db.getNextRow(cursor)
            if rec is None:
                break
            values = {}
            for cname, v in rec.items():
                col = cname.decode("utf-8")
                ctype = kinds[col]["ColumnType"]
                if v is None:
                    values[col] = ("null", None)
                elif ctype in TEXT_TYPES:
                    codec = "utf-16le" if kinds[col]["CodePage"] == 1200 else "cp1252"
                    values[col] = ("bytes", v.encode(codec)) if isinstance(v, str) else ("raw", v)
                elif ColumnTypeSize.get(ctype) is None or isinstance(v, bytes):
                    values[col] = ("hex", v.decode("ascii") if isinstance(v, bytes) else v)
                else:
                    values[col] = ("bytes", struct.pack(ColumnTypeSize[ctype][1], v))
            rows.append(values)
        out.append((name.decode("utf-8", "replace"), columns, rows))
    return out


def compare(expected, found, reader, skips, problems):
    want_names = [t["name"] for t in expected["tables"]]
    got_names = [t[0] for t in found]
    if want_names != got_names:
        problems.append(f"tables differ: expected {want_names}, got {got_names}")
        return
    for want, (name, columns, rows) in zip(expected["tables"], found):
        wcols = {c["name"]: c for c in want["columns"]}
        gcols = {c[1]: c for c in columns}
        if set(wcols) != set(gcols):
            problems.append(f"{name}: columns differ: {sorted(set(wcols) ^ set(gcols))}")
            continue
        for cname, c in wcols.items():
            if gcols[cname][0] != c["id"] or gcols[cname][2] != c["type"]:
                problems.append(f"{name}.{cname}: expected id {c['id']} type {c['type']}, got {gcols[cname]}")
        if len(want["rows"]) != len(rows):
            problems.append(f"{name}: expected {len(want['rows'])} rows, got {len(rows)}")
            continue
        for i, (wrow, grow) in enumerate(zip(want["rows"], rows)):
            for cname, wv in wrow.items():
                col = wcols[cname]
                kind, gv = grow.get(cname, ("null", None))
                got_hex = None
                if kind == "multi" or (kind in ("hex", "raw") and wv is not None and len(wv) > 1):
                    skips.add("multi-valued value")
                    continue
                if kind == "bytes" and gv is not None:
                    got_hex = gv.hex()
                elif kind == "hex":
                    got_hex = gv
                if wv is not None and len(wv) > 1:
                    skips.add("multi-valued value")
                    continue
                want_hex = None if wv is None else wv[0]
                if reader == "libesedb" and want_hex == "":
                    skips.add("zero-length value (libesedb reads null and zero-length alike, and a "
                              "zero-length tagged value as the rest of the record)")
                    continue
                if reader == "libesedb" and got_hex == "":
                    got_hex = None
                if want_hex is not None and got_hex is None and col.get("id", 0) >= 256:
                    skips.add("default of a tagged column missing from the record")
                    continue
                if reader == "impacket" and col["type"] in LONG_TYPES and got_hex is not None \
                        and want_hex is not None and len(got_hex) == 8 and len(want_hex) > 8:
                    skips.add("value in the long-value tree (reference not followed)")
                    continue
                if want_hex is None and col["id"] < 128 and got_hex is not None and set(got_hex) <= {"0"}:
                    skips.add("null fixed column read as its zero bytes (null bitmap not read)")
                    continue
                if want_hex != got_hex:
                    problems.append(f"{name} row {i} {cname}: expected {str(want_hex)[:80]}, got {str(got_hex)[:80]}")


def main(argv):
    if len(argv) != 5 or argv[1] != "--reader" or argv[2] not in ("libesedb", "impacket"):
        print(__doc__.strip())
        return 2
    reader, expected_path, db_path = argv[2], argv[3], argv[4]
    expected = load_expected(expected_path)
    try:
        if reader == "libesedb":
            import pyesedb  # noqa: F401
        else:
            import impacket.ese  # noqa: F401
    except ImportError:
        print(f"{reader} is not installed: skipped")
        return 77
    try:
        found = tables_libesedb(db_path) if reader == "libesedb" else tables_impacket(db_path)
    except Exception as e:  # the reader's own limits, named in the docstring
        if reader == "impacket" and expected["page_size"] > 8192:
            print(f"impacket cannot read {expected['page_size']}-byte pages: skipped ({e!r})")
            return 77
        raise
    skips, problems = Skips(), []
    compare(expected, found, reader, skips, problems)
    for p in problems[:30]:
        print(p)
    for why, n in sorted(skips.counts.items()):
        print(f"skipped {n}: {why}")
    print(f"{reader}: {len(problems)} differences")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
