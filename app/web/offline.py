"""Writes the service worker of the site: the template with the site's files,
each by the start of its content's SHA-256, the files every page shares apart
from each page's own, and a cache name made from all of them.

   offline.py write <sw.js template> <site dir> <shared file>...
                    [--page <page file> <its other files>...]...
   offline.py refresh <site dir>    the same lists, with the files' hashes as
                                    they are now (after a file was changed)

The first page is the one the folder's own address serves."""
import hashlib
import json
import os
import re
import sys

HASH_LENGTH = 16
LISTS = re.compile(r"^const (CACHE|SHARED|PAGES) = (.*);.*$", re.M)


def hashed(site, names):
    out = {}
    for name in names:
        with open(os.path.join(site, name), "rb") as f:
            out[name] = hashlib.sha256(f.read()).hexdigest()[:HASH_LENGTH]
    return out


def write(site, text, shared, pages):
    shared = hashed(site, sorted(shared))
    pages = {page: hashed(site, sorted(names)) for page, names in pages.items()}
    release = hashlib.sha256(json.dumps([shared, pages]).encode()).hexdigest()[:HASH_LENGTH]
    lists = {
        "CACHE": json.dumps("qvlfest-" + release).replace('"', "'"),
        "SHARED": json.dumps(shared),
        "PAGES": json.dumps(pages),
    }
    text = LISTS.sub(lambda m: m.group(0).replace(m.group(2), lists[m.group(1)], 1), text)
    with open(os.path.join(site, "sw.js"), "w") as f:
        f.write(text)


def main(args):
    if args[0] == "refresh":
        site = args[1]
        with open(os.path.join(site, "sw.js")) as f:
            text = f.read()
        found = {m.group(1): m.group(2) for m in LISTS.finditer(text)}
        pages = {page: list(files) for page, files in json.loads(found["PAGES"]).items()}
        write(site, text, list(json.loads(found["SHARED"])), pages)
        return
    template, site = args[1], args[2]
    shared, pages, page = [], {}, None
    files = iter(args[3:])
    for arg in files:
        if arg == "--page":
            page = os.path.relpath(next(files), site)
            pages[page] = [page]
        elif page:
            pages[page].append(os.path.relpath(arg, site))
        else:
            shared.append(os.path.relpath(arg, site))
    with open(template) as f:
        write(site, f.read(), shared, pages)


if __name__ == "__main__":
    main(sys.argv[1:])
