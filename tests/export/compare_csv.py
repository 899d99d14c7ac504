# Reads every CSV file of a folder with Python's csv module and compares it with the rows
# that a JSON file expects ({"file name": [[cell, ...], ...]}); prints each difference.
# Usage: python3 compare_csv.py FOLDER EXPECTED.json ENCODING
import csv
import json
import os
import sys

folder, expected_path, encoding = sys.argv[1:4]
with open(expected_path, encoding="utf-8") as f:
    expected = json.load(f)
found = sorted(os.listdir(folder))
for name in sorted(set(found) ^ set(expected)):
    print(f"{name}: {'not expected' if name in found else 'missing'}")
for name in sorted(set(found) & set(expected)):
    with open(os.path.join(folder, name), newline="", encoding=encoding) as f:
        rows = list(csv.reader(f))
    want = expected[name]
    if len(rows) != len(want):
        print(f"{name}: {len(rows)} rows, expected {len(want)}")
    for i, (got, exp) in enumerate(zip(rows, want)):
        if got != exp:
            print(f"{name} row {i + 1}: {got!r} != {exp!r}")
