#!/usr/bin/env python3
"""A scripted HTTP(S) server on 127.0.0.1 for the tests of the gateway lookup.

The path of a request says how to answer it:
  /reply/<status>/<body in hex>  that status with that body; a 3xx status also sends
                                 "Location: /reply/200/<same body>", to show whether it is followed
  /hang                          reads the request and never answers
Every request is appended to the log file as one JSON line before it is answered.
Prints "PORT <port>" once it listens.
"""

import argparse
import http.server
import json
import ssl
import threading
import urllib.parse


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    log_lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            path, _, query = self.path.partition("?")
            with log_lock, open(args.log, "a", encoding="utf-8") as log:
                log.write(json.dumps({
                    "method": self.command,
                    "version": self.request_version,
                    "path": path,
                    "query": query,
                    "params": urllib.parse.parse_qs(query, keep_blank_values=True),
                }) + "\n")
            parts = path.split("/")
            if path == "/hang":
                threading.Event().wait()
            elif len(parts) == 4 and parts[1] == "reply":
                self.answer(int(parts[2]), bytes.fromhex(parts[3]), parts[3])
            else:
                self.answer(400, b"bad test path", "")

        def answer(self, status, body, hex_body):
            self.send_response(status)
            if 300 <= status < 400:
                self.send_header("Location", "/reply/200/" + hex_body)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *_):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    # A failed handshake (a client that does not trust the certificate) only ends that connection.
    server.handle_error = lambda *_: None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
