#!/usr/bin/python3
"""An HTTPS server on 127.0.0.1 for the update-service tests.

Usage: https_server.py CERT KEY ROOT PORT_FILE [tls13]

Serves the files of ROOT. A file NAME may come with NAME.status (the response code), NAME.type (the
content type), NAME.location (a redirect target; the port is written where the text says {port}),
NAME.length (a Content-Length to announce: more than is sent cuts the transfer short) and NAME.hold
(the answer waits until that file is removed). With "tls13" only TLS 1.3 is accepted. The chosen port
is written to PORT_FILE once the server listens.
"""
import http.server
import os
import ssl
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        root = self.server.root
        name = os.path.normpath(self.path.split("?")[0].lstrip("/"))
        path = os.path.join(root, name)

        def extra(suffix):
            p = path + suffix
            if os.path.exists(p):
                with open(p) as f:
                    return f.read().strip()
            return None

        hold = path + ".hold"
        while os.path.exists(hold):
            time.sleep(0.05)
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            body = f.read()
        status = int(extra(".status") or 200)
        self.send_response(status)
        location = extra(".location")
        if location:
            self.send_header("Location", location.replace("{port}", str(self.server.server_port)))
        self.send_header("Content-Type", extra(".type") or "text/plain")
        self.send_header("Content-Length", extra(".length") or str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        try:
            self.wfile.write(body)
            self.wfile.flush()
        except OSError:
            pass
        self.close_connection = True


def main():
    cert, key, root, port_file = sys.argv[1:5]
    tls13 = len(sys.argv) > 5 and sys.argv[5] == "tls13"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = root
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    if tls13:
        context.minimum_version = ssl.TLSVersion.TLSv1_3
    server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_port))
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
