#!/usr/bin/env python3
"""A local stand-in of the sharing service, for tests on 127.0.0.1 only.

It answers the host-information, login, multipart-upload, details and delete
requests of the sharing client, stores what it receives under a state folder,
and can be told to misbehave (slow, cut, failing, reset, oversized and
malformed replies). It serves plain requests ("GET /GetHostInfo.php") and, as
an HTTP proxy would, absolute-URI requests ("GET http://host/GetHostInfo.php"),
so the program can reach it through WinInet's proxy setting without any
change. See README.md.
"""

import argparse
import json
import os
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ENDPOINTS = ("hostinfo", "login", "upload", "details", "delete", "adinfo", "adpicture", "page")
FAULTS = ("slow", "split", "truncated", "http500", "status500", "reset", "stall", "oversized",
          "nosemicolon")


class Config:
    def __init__(self, args):
        self.state = os.path.abspath(args.state)
        self.site = args.site
        self.accounts = {}
        for spec in args.account or ["alice:secret:5"]:
            name, password, uid = spec.rsplit(":", 2)
            self.accounts[name] = (password, int(uid))
        self.down = set(h.lower() for h in (args.down or []))
        self.error_hosts = set(h.lower() for h in (args.error_host or []))
        self.upload_answer = args.upload_answer
        self.faults = {}  # endpoint -> (kind, argument)
        for spec in args.fault or []:
            endpoint, _, kind = spec.partition("=")
            kind, _, arg = kind.partition(":")
            if endpoint not in ENDPOINTS + ("all",) or kind not in FAULTS:
                raise SystemExit("bad --fault %r" % spec)
            targets = ENDPOINTS if endpoint == "all" else (endpoint,)
            for t in targets:
                self.faults[t] = (kind, arg)
        self.lock = threading.Lock()
        self.counter = 0
        self.next_file_id = args.first_file_id
        self.ad_picture = os.path.abspath(args.ad_picture) if args.ad_picture else None
        self.ad_host = args.ad_host
        self.ad_fields = []
        for spec in args.ad_field or []:
            key, sep, value = spec.partition("=")
            if not sep or not key:
                raise SystemExit("bad --ad-field %r" % spec)
            self.ad_fields.append((key, value))


CONFIG = None


def host_info_reply(oversized, nosemicolon):
    site = CONFIG.site
    pairs = [
        ("ValidateURL", "http://%s/validateuser.php" % site),
        ("PostUploadURL", "http://%s/apppostupload.php" % site),
        ("UploadSite", site),
        ("UploadScript", "upost.php"),
        ("TessalyURL", "http://%s/host/" % site),
        ("DefaultTitle", "Talk"),
        ("DefaultDescription", "My recorded Audio Clip"),
        ("DefaultEmailContent", "I just recorded an audio clip, you can listen here"),
        ("DefaultIsPublic", "on"),
        ("DefaultTags", "voice talk"),
        ("CategoryList", "3-Music|7-Talk|"),
        ("SiteName", "Cantabel Test Site"),
    ]
    if oversized:
        # Every text field far past its buffer, the whole reply past 64 KB.
        long = {"SiteName": "S" * 300, "CategoryList": "".join("%d-Name%d|" % (i, i) for i in range(1, 1200))[:9000] + "|",
                "DefaultTitle": "T" * 600, "DefaultDescription": "D" * 3000,
                "DefaultEmailContent": "E" * 3000, "DefaultIsPublic": "P" * 100,
                "DefaultTags": "G" * 600, "TessalyURL": "http://%s/host/%s" % (site, "u" * 600)}
        pairs = [(k, long.get(k, v)) for k, v in pairs]
        text = "".join("%s=%s;" % kv for kv in pairs)
        return (text + "Padding=" + "x" * (71 * 1024 - len(text)) + ";").encode()
    if nosemicolon:
        # The last key lacks its ";" and the reply ends in a line end.
        text = "".join("%s=%s;" % kv for kv in pairs[:-1]) + "%s=%s\r\n" % pairs[-1]
        return text.encode()
    return "".join("%s=%s;" % kv for kv in pairs).encode()


def ad_info_reply(oversized, nosemicolon):
    host = CONFIG.ad_host
    picture = ""
    if CONFIG.ad_picture:
        picture = "http://%s/pic/%s" % (host, os.path.basename(CONFIG.ad_picture))
    pairs = [
        ("AdID", "12"),
        ("PicURL", picture),
        ("DisplayURL", "www.cantabel.test"),
        ("CampaignID", "5"),
        ("BannerID", "3"),
        ("ClickURL", "http://%s/click.php" % host),
        ("BrowserURL", "NULL"),
        ("ResizedURL", "http://%s/resized.htm" % host),
        ("Ad1Text", "Record your voice"),
        ("Ad2Text", "Share it"),
        ("Ad1Link", "http://%s/ad1.htm" % host),
        ("Ad2Link", "http://%s/ad2.htm" % host),
        ("Ref", "r123"),
    ]
    overrides = dict(CONFIG.ad_fields)
    pairs = [(k, overrides.get(k, v)) for k, v in pairs]
    if oversized:
        # Every text field past the control's buffers.
        long = {"PicURL": "http://%s/pic/%s.gif" % (host, "p" * 300), "DisplayURL": "D" * 300,
                "ClickURL": "http://%s/%s" % (host, "c" * 700), "BrowserURL": "http://%s/%s" % (host, "b" * 400),
                "ResizedURL": "http://%s/%s" % (host, "r" * 400), "Ad1Text": "A" * 400, "Ad2Text": "B" * 400,
                "Ad1Link": "http://%s/%s" % (host, "l" * 700), "Ad2Link": "http://%s/%s" % (host, "m" * 700),
                "Ref": "R" * 300, "AdID": "9" * 30}
        pairs = [(k, long.get(k, v)) for k, v in pairs]
    if nosemicolon:
        text = "".join("%s=%s;" % kv for kv in pairs[:-1]) + "%s=%s\r\n" % pairs[-1]
        return text.encode("latin-1", "replace")
    return "".join("%s=%s;" % kv for kv in pairs).encode("latin-1", "replace")


def parse_multipart(content_type, body):
    """Splits the upload the way the client frames it; returns a dict."""
    info = {"framing_ok": False}
    marker = "boundary="
    if marker not in content_type:
        info["error"] = "no boundary"
        return info
    boundary = content_type.split(marker, 1)[1].strip().encode("latin-1")
    info["boundary"] = boundary.decode("latin-1")
    first_head = b"\r\n--" + boundary + b"\r\nContent-Disposition: form-data; name=\"UserID\"\r\n\r\n"
    if not body.startswith(first_head):
        info["error"] = "first part"
        return info
    rest = body[len(first_head):]
    end = rest.find(b"\r\n")
    info["userid"] = rest[:end].decode("latin-1")
    rest = rest[end + 2:]
    file_head_start = b"\r\n--" + boundary + b"\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\""
    if not rest.startswith(file_head_start):
        info["error"] = "file part"
        return info
    rest = rest[len(file_head_start):]
    q = rest.find(b"\"\r\n")
    info["filename"] = rest[:q].decode("latin-1")
    rest = rest[q + 3:]
    ct_end = rest.find(b"\r\n")
    info["content_type"] = rest[:ct_end].decode("latin-1")
    rest = rest[ct_end + 2:]
    cte = b"Content-Transfer-Encoding: binary\r\n\r\n"
    if not rest.startswith(cte):
        info["error"] = "transfer encoding"
        return info
    rest = rest[len(cte):]
    trailer = b"\r\n\r\n--" + boundary + b"--\r\n"
    if not rest.endswith(trailer):
        info["error"] = "trailer"
        return info
    info["data"] = rest[: len(rest) - len(trailer)]
    info["framing_ok"] = True
    return info


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "CantabelStandIn/1.0"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    # --- request plumbing -------------------------------------------------
    def target(self):
        """(host, path, query) of a plain or absolute-URI request."""
        raw = self.path
        if raw.startswith("http://") or raw.startswith("https://"):
            u = urllib.parse.urlsplit(raw)
            host = u.hostname or ""
            return host.lower(), u.path or "/", u.query
        u = urllib.parse.urlsplit(raw)
        host = (self.headers.get("Host") or "").split(":")[0]
        return host.lower(), u.path or "/", u.query

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        chunks, left = [], length
        while left > 0:
            piece = self.rfile.read(min(left, 65536))
            if not piece:
                break
            chunks.append(piece)
            left -= len(piece)
        return b"".join(chunks)

    def record(self, entry, body):
        with CONFIG.lock:
            CONFIG.counter += 1
            n = CONFIG.counter
        name = "req-%d.body" % n
        with open(os.path.join(CONFIG.state, name), "wb") as f:
            f.write(body)
        entry.update({"n": n, "method": self.command, "target": self.path,
                      "headers": [[k, v] for k, v in self.headers.items()], "body": name,
                      "body_length": len(body)})
        head = self.requestline + "\r\n" + "".join(
            "%s: %s\r\n" % (k, v) for k, v in self.headers.items())
        with open(os.path.join(CONFIG.state, "req-%d.head" % n), "w", newline="") as f:
            f.write(head)
        # One line per request for readers without a JSON parser:
        # number, endpoint, host, path, stored upload ("-" for none).
        line = "%d %s %s %s %s\n" % (n, entry.get("endpoint"), entry.get("host") or "-",
                                      entry.get("path") or "-", entry.get("stored") or "-")
        with CONFIG.lock:
            with open(os.path.join(CONFIG.state, "requests.jsonl"), "a") as f:
                f.write(json.dumps(entry) + "\n")
            with open(os.path.join(CONFIG.state, "requests.txt"), "a") as f:
                f.write(line)

    def reset(self):
        # An abortive close: the client sees "connection reset".
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.connection.close()
        self.close_connection = True

    def answer(self, endpoint, payload, status=200, content_type="text/html"):
        kind, arg = CONFIG.faults.get(endpoint, (None, ""))
        if kind == "reset":
            self.reset()
            return
        if kind == "stall":
            time.sleep(float(arg or 45))
            self.reset()
            return
        if kind == "slow":
            time.sleep(float(arg or 5))
        if kind == "http500":
            status, payload = 500, b"<html><body>Internal Server Error</body></html>"
        if kind == "status500":
            # The answer the endpoint would give, under an error status.
            status = 500
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(payload)))
        self.send_header("Connection", "close")
        self.end_headers()
        if kind == "truncated":
            self.wfile.write(payload[: len(payload) // 2])
            self.wfile.flush()
            self.reset()
            return
        if kind == "split":
            half = len(payload) // 2
            self.wfile.write(payload[:half])
            self.wfile.flush()
            time.sleep(float(arg or 0.3))
            self.wfile.write(payload[half:])
        else:
            self.wfile.write(payload)
        self.wfile.flush()

    # --- the service --------------------------------------------------------
    def do_GET(self):
        host, path, query = self.target()
        entry = {"host": host, "path": path, "query": query}
        if host in CONFIG.down:
            entry["endpoint"] = "down"
            self.record(entry, b"")
            self.reset()
            return
        if path.endswith("/GetHostInfo.php"):
            entry["endpoint"] = "hostinfo"
            self.record(entry, b"")
            if host in CONFIG.error_hosts:
                self.answer("none", b"<html><body>404 Not Found</body></html>", 404)
                return
            kind = CONFIG.faults.get("hostinfo", (None, ""))[0]
            self.answer("hostinfo", host_info_reply(kind == "oversized", kind == "nosemicolon"))
            return
        if path.endswith("/GetID.php"):
            entry["endpoint"] = "adinfo"
            self.record(entry, b"")
            kind = CONFIG.faults.get("adinfo", (None, ""))[0]
            self.answer("adinfo", ad_info_reply(kind == "oversized", kind == "nosemicolon"))
            return
        if (CONFIG.ad_picture and host == CONFIG.ad_host
                and path == "/pic/" + os.path.basename(CONFIG.ad_picture)):
            entry["endpoint"] = "adpicture"
            self.record(entry, b"")
            with open(CONFIG.ad_picture, "rb") as f:
                self.answer("adpicture", f.read(), content_type="image/gif")
            return
        # Anything else is a page a browser asked for: a small page, logged.
        entry["endpoint"] = "page"
        self.record(entry, b"")
        self.answer("page", b"<html><head><title>Stand-in page</title></head>"
                            b"<body><p>Stand-in page</p></body></html>")

    def do_POST(self):
        host, path, query = self.target()
        body = self.read_body()
        entry = {"host": host, "path": path, "query": query}
        if host in CONFIG.down:
            entry["endpoint"] = "down"
            self.record(entry, body)
            self.reset()
            return
        if path.endswith("/validateuser.php"):
            self.login(entry, body)
        elif path.endswith("/upost.php"):
            self.upload(entry, body)
        elif path.endswith("/apppostupload.php"):
            self.details(entry, body)
        else:
            entry["endpoint"] = "unknown"
            self.record(entry, body)
            self.answer("none", b"not found", 404)

    def form(self, body):
        fields = urllib.parse.parse_qs(body.decode("latin-1"), keep_blank_values=True,
                                       encoding="latin-1")
        return {k: v[0] for k, v in fields.items()}, list(fields.keys())

    def login(self, entry, body):
        entry["endpoint"] = "login"
        fields, order = self.form(body)
        entry["form"], entry["order"] = fields, order
        name, password = fields.get("username", ""), fields.get("password", "")
        account = CONFIG.accounts.get(name)
        uid = account[1] if account and account[0] == password else 0
        kind = CONFIG.faults.get("login", (None, ""))[0]
        if uid:
            with CONFIG.lock:
                file_id = CONFIG.next_file_id
                CONFIG.next_file_id += 1
            ref = "ref%d" % file_id
            if kind == "oversized":
                # Past the IP and Ref fields, yet inside the client's 1 KB reply.
                text = "UserID=%d;FileID=%d;IP=%s;Ref=%s;" % (uid, file_id, "9" * 60, "r" * 300)
            elif kind == "nosemicolon":
                text = "UserID=%d;FileID=%d;IP=127.0.0.1;Ref=%s\r\n" % (uid, file_id, ref)
            else:
                text = "UserID=%d;FileID=%d;IP=127.0.0.1;Ref=%s;" % (uid, file_id, ref)
            entry["file_id"] = file_id
        else:
            text = "UserID=0;"
        entry["accepted"] = bool(uid)
        self.record(entry, body)
        self.answer("login", text.encode())

    def upload(self, entry, body):
        entry["endpoint"] = "upload"
        info = parse_multipart(self.headers.get("Content-Type") or "", body)
        data = info.pop("data", None)
        entry["upload"] = info
        stored = None
        if data is not None and info.get("filename"):
            os.makedirs(os.path.join(CONFIG.state, "uploads"), exist_ok=True)
            stored = os.path.join("uploads", os.path.basename(info["filename"]))
            with open(os.path.join(CONFIG.state, stored), "wb") as f:
                f.write(data)
        entry["stored"] = stored
        kind = CONFIG.faults.get("upload", (None, ""))[0]
        answer = CONFIG.upload_answer
        file_id = "0"
        if info.get("filename"):
            file_id = info["filename"].split("_")[1] if info["filename"].count("_") >= 2 else "0"
        if answer == "null":
            text = "FILEID=NULL"
        elif answer == "debug":
            text = "FILEID=DEBUG userid=%s bytes=%d" % (info.get("userid"), len(data or b""))
        elif answer == "none":
            text = "OK"
        elif answer == "empty":
            text = "FILEID=\r\n"
        elif answer == "warning":
            # A script that failed before it had an id to print.
            text = ("<br />\n<b>Warning</b>:  mysql_insert_id(): no MySQL-Link resource supplied in "
                    "<b>/var/www/upost.php</b> on line <b>41</b><br />\nFILEID=")
        elif answer == "script":
            text = "FILEID=<script>alert(document.cookie)</script>"
        elif kind == "oversized":
            text = "FILEID=" + file_id + "9" * 10000
        elif kind == "nosemicolon":
            text = "FILEID=%s\r\n" % file_id
        else:
            text = "FILEID=%s" % file_id
        self.record(entry, body)
        self.answer("upload", text.encode())

    def details(self, entry, body):
        fields, order = self.form(body)
        entry["form"], entry["order"] = fields, order
        if fields.get("Action") == "Delete":
            entry["endpoint"] = "delete"
            self.record(entry, body)
            self.answer("delete", b"DELETED")
            return
        entry["endpoint"] = "details"
        self.record(entry, body)
        kind = CONFIG.faults.get("details", (None, ""))[0]
        message = ("Your audio file is online.\nListen: http://%s/listen.php?id=%s\nTitle: %s"
                   % (CONFIG.site, fields.get("FileID", ""), fields.get("Title", "")))
        if kind == "oversized":
            message += "\n" + "M" * 10000
        self.answer("details", ("[MESSAGE]=" + message).encode("latin-1", "replace"))


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--state", required=True, help="folder for the port file, the log and uploads")
    p.add_argument("--port", type=int, default=0, help="0 picks a free port (written to STATE/port)")
    p.add_argument("--site", default="upload.cantabel.test",
                   help="host name (host:port) the host information names for upload and login")
    p.add_argument("--account", action="append", help="NAME:PASSWORD:USERID (repeatable)")
    p.add_argument("--down", action="append", help="host whose requests get a reset connection")
    p.add_argument("--error-host", action="append", help="host whose host information is a 404 page")
    p.add_argument("--upload-answer", default="id", choices=("id", "null", "debug", "none", "empty", "warning", "script"))
    p.add_argument("--fault", action="append",
                   help="ENDPOINT=KIND[:ARG], ENDPOINT in %s or all, KIND in %s"
                   % ("/".join(ENDPOINTS), "/".join(FAULTS)))
    p.add_argument("--first-file-id", type=int, default=100)
    p.add_argument("--ad-picture", help="file served byte for byte as the advertisement's picture")
    p.add_argument("--ad-host", default="ads.cantabel.test",
                   help="host of the picture, click and ad link addresses in the advertisement")
    p.add_argument("--ad-field", action="append",
                   help="KEY=VALUE replacing one key of the advertisement reply (repeatable)")
    args = p.parse_args()
    global CONFIG
    CONFIG = Config(args)
    os.makedirs(CONFIG.state, exist_ok=True)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    tmp = os.path.join(CONFIG.state, "port.tmp")
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, os.path.join(CONFIG.state, "port"))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
