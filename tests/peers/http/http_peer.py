# HTTP test peer for the download tests: serves a folder on 127.0.0.1, misbehaving on request.
"""HTTP test peer: serves the files of a root folder over plain HTTP on 127.0.0.1.

Started by the tests on a free port (--port 0). It prints one line "port=<port>" when it accepts
connections, and stops on SIGTERM or when its standard input closes (so a crashed test leaves no
peer behind).

GET <path> answers the file <root>/<path>. Sidecar files beside it change the answer:
  <file>.status    holds a status code: that status with a small HTML error page, as a real
                   server sends (the file itself need not exist)
  <file>.truncate  (any content) the full Content-Length header, then only half the body, then
                   the connection closes
  <file>.redirect  holds a path: a 302 to that path on this peer
A missing file gets a 404 page. Every request's head (request line and headers, as received,
ending in an empty line) is appended to <log> when --log is given.
"""

import argparse
import http.server
import os
import signal
import sys
import threading
import urllib.parse

ERROR_PAGE = "<html><head><title>{code} {reason}</title></head><body><h1>{reason}</h1></body></html>\n"


class Handler(http.server.BaseHTTPRequestHandler):
    # HTTP/1.0: every answer ends with the connection's close, which makes a truncated body visible.
    protocol_version = "HTTP/1.0"
    server_version = "dorvik-http-peer"

    def log_message(self, format, *args):
        pass

    def record(self):
        log = self.server.request_log
        if not log:
            return
        head = self.requestline + "\r\n" + "".join(
            "%s: %s\r\n" % (name, value) for name, value in self.headers.items()) + "\r\n"
        with self.server.log_lock, open(log, "ab") as out:
            out.write(head.encode("latin-1", "replace"))

    def local_path(self):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        parts = [p for p in path.split("/") if p]
        if any(p in (".", "..") for p in parts):
            return None
        return os.path.join(self.server.root, *parts)

    def error_page(self, code):
        reason = self.responses.get(code, ("Error",))[0]
        body = ERROR_PAGE.format(code=code, reason=reason).encode()
        self.send_response(code, reason)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.record()
        path = self.local_path()
        if path is None:
            return self.error_page(400)
        if os.path.isfile(path + ".status"):
            with open(path + ".status") as f:
                return self.error_page(int(f.read().strip()))
        if os.path.isfile(path + ".redirect"):
            with open(path + ".redirect") as f:
                target = f.read().strip()
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if not os.path.isfile(path):
            return self.error_page(404)
        with open(path, "rb") as f:
            body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if os.path.exists(path + ".truncate"):
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    args = parser.parse_args()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.root = os.path.abspath(args.root)
    server.request_log = args.log
    server.log_lock = threading.Lock()

    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))

    def watch_stdin():
        # Ends the peer when the test that started it goes away.
        while sys.stdin.buffer.read(4096):
            pass
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    print("port=%d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
