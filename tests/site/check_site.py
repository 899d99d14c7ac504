#!/usr/bin/env python3
"""The site of a project, checked from the outside: zorvane-cli writes it, then every page
is parsed with html.parser (no browser, no network) and

- every href and src resolves to a file inside the site, and its #fragment to an id (or a
  map name) that the target page holds;
- each map page has one link area per event, at its cell, going to its first page's
  document (the events read by Ruby's own Marshal, tests/site/site_expectations.rb);
- the switch page names every place tests/tools/switch_places.rb finds for a switch;
- the search index holds the first message of the common events under its document.

    check_site.py ZORVANE_CLI SOURCE_DIR [CORPUS_PROJECT ...]

The sample is always checked; each named project of the shared corpus ($ZORVANE_CORPUS, or
../shared/corpus beside the sources) when it is there, skipped with a message when not."""
import html.parser
import json
import os
import subprocess
import sys
import tempfile
import urllib.parse

CELL = 32  # pixels of a cell at zoom 1


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.anchors = set()
        self.links = []  # (attribute, value)
        self.areas = []  # (coords, href)
        self.row = None
        self.row_links = {}  # tr id -> hrefs inside it

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.anchors.add(a["id"])
        if tag == "map" and "name" in a:
            self.anchors.add(a["name"])
        if tag == "tr":
            self.row = a.get("id")
        for name in ("href", "src", "usemap"):
            if name in a:
                self.links.append((name, a[name]))
        if tag == "area":
            self.areas.append((a.get("coords"), a.get("href")))
        if tag == "a" and self.row and "href" in a:
            self.row_links.setdefault(self.row, []).append(a["href"])


def parse_site(root):
    pages = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if name.endswith(".html"):
                path = os.path.join(folder, name)
                page = Page()
                with open(path, encoding="utf-8") as f:  # the site is UTF-8 whatever the project
                    page.feed(f.read())
                pages[os.path.relpath(path, root)] = page
    return pages


def check_links(root, pages, errors):
    checked = 0
    for rel, page in pages.items():
        for attr, value in page.links:
            url = urllib.parse.urlsplit(value)
            if url.scheme or url.netloc:
                errors.append(f"{rel}: {attr}={value} leaves the site")
                continue
            target = rel
            if url.path:
                target = os.path.normpath(os.path.join(os.path.dirname(rel), urllib.parse.unquote(url.path)))
                if target.startswith(".."):
                    errors.append(f"{rel}: {value} points outside the site")
                    continue
                if not os.path.isfile(os.path.join(root, target)):
                    errors.append(f"{rel}: {value}: no such file")
                    continue
            if url.fragment:
                anchors = pages[target].anchors if target in pages else set()
                if urllib.parse.unquote(url.fragment) not in anchors:
                    errors.append(f"{rel}: {value}: no anchor {url.fragment} in {target}")
            checked += 1
    return checked


def check_areas(pages, expected_maps, errors):
    for map_id, events in expected_maps.items():
        rel = os.path.join("maps", "Map%04d.html" % int(map_id))
        if rel not in pages:
            errors.append(f"{rel}: missing")
            continue
        want = [("%d,%d,%d,%d" % (x * CELL, y * CELL, (x + 1) * CELL, (y + 1) * CELL),
                 "../events/MapEvent%04d-%04d-01.html" % (int(map_id), eid))
                for eid, x, y, count in events if count > 0]
        if pages[rel].areas != want:
            errors.append(f"{rel}: areas {pages[rel].areas} instead of {want}")


def check_switches(source, project_file, pages, errors):
    script = os.path.join(source, "tests", "tools", "switch_places.rb")
    used = subprocess.run(["ruby", script, project_file, "--used"], check=True,
                          capture_output=True, text=True).stdout.split()
    if not used:
        errors.append("switch_places.rb found no switch in use")
        return
    places = subprocess.run(["ruby", script, project_file, *used], check=True,
                            capture_output=True, text=True).stdout.splitlines()
    rows = pages[os.path.join("lists", "switches.html")].row_links
    for line in places:
        switch, area, owner, page, number = line.split(",")
        if area == "0":
            doc = "CommonEvent%03d.html" % int(owner)
        elif area == "1":
            doc = "BattleEvent%03d-%02d.html" % (int(owner), int(page))
        else:
            map_id, event = owner.split(":")
            doc = "MapEvent%04d-%04d-%02d.html" % (int(map_id), int(event), int(page))
        href = "../events/%s#L%s" % (doc, number)
        if href not in rows.get("s" + switch, []):
            errors.append(f"switch page: row s{switch} has no link {href}")


def check_search(root, message, errors):
    with open(os.path.join(root, "search-index.js"), encoding="utf-8") as f:
        text = f.read()
    prefix = "var zorvaneSearchIndex = "
    entries = json.loads(text[len(prefix):].rstrip().rstrip(";"))
    ce, words = message
    page = "events/CommonEvent%03d.html" % ce
    if not any(e[1] == page and words in e[2] for e in entries):
        errors.append(f"search index: {words!r} not found under {page}")


def check_project(cli, source, folder, work, sample):
    project_file = os.path.join(folder, "Game.rxproj")
    out = os.path.join(work, os.path.basename(os.path.normpath(folder)))
    env = dict(os.environ, ZORVANE_COMMON_FILES=os.path.join(source, "sample", "CommonFiles"))
    run = subprocess.run([cli, "site", project_file, "-o", out], env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    # 3: a data file could not be read (the corpus has maps without entries, and others).
    if run.returncode not in (0, 3):
        return [f"{folder}: zorvane-cli site ended with {run.returncode}: {run.stderr}"]
    expected = json.loads(subprocess.run(
        ["ruby", os.path.join(source, "tests", "site", "site_expectations.rb"), folder],
        check=True, capture_output=True, text=True).stdout)
    pages = parse_site(out)
    errors = []
    checked = check_links(out, pages, errors)
    check_areas(pages, expected["maps"], errors)
    if expected["message"]:
        check_search(out, expected["message"], errors)
    if sample:
        check_switches(source, project_file, pages, errors)
    print(f"{folder}: {len(pages)} pages, {checked} links checked, {len(errors)} faults")
    return errors


def main():
    cli, source, *more = sys.argv[1:]
    errors = []
    with tempfile.TemporaryDirectory() as work:
        errors += check_project(cli, source, os.path.join(source, "sample", "Project"), work, True)
        corpus = os.environ.get("ZORVANE_CORPUS") or os.path.join(source, "..", "shared", "corpus")
        for name in more:
            folder = os.path.join(corpus, name)
            if not os.path.isdir(folder):
                print(f"skipped {folder}: not present")
                continue
            errors += check_project(cli, source, folder, work, False)
    for e in errors[:50]:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
