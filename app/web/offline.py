"""Writes the service worker: the template with the list of the pages'
files, relative to the site, and a cache name made from their contents.

   offline.py <sw.js template> <site dir> <file>..."""
import hashlib
import json
import os
import sys

template, site, files = sys.argv[1], sys.argv[2], sys.argv[3:]
names = sorted(os.path.relpath(f, site) for f in files)
digest = hashlib.sha256()
for name in names:
    with open(os.path.join(site, name), "rb") as f:
        digest.update(name.encode() + b"\0" + hashlib.sha256(f.read()).digest())
with open(template) as f:
    text = f.read()
text = text.replace("@VERSION@", digest.hexdigest()[:16])
text = text.replace("@FILES@", json.dumps(["./"] + names))
with open(os.path.join(site, "sw.js"), "w") as f:
    f.write(text)
