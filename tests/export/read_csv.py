# SPDX-License-Identifier: Apache-2.0
# Reads a CSV file with Python's csv module and prints every field as
# "<row>\t<column>\t<UTF-8 bytes in hex>", the header being row 0.
import csv
import sys

with open(sys.argv[1], encoding="utf-8", newline="") as f:
    for r, row in enumerate(csv.reader(f, strict=True)):
        for c, field in enumerate(row):
            print(f"{r}\t{c}\t{field.encode('utf-8').hex()}")
