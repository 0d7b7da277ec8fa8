#!/usr/bin/python3
"""FTP server on 127.0.0.1 for the tests and benchmarks (pyftpdlib).

Prints "PORT <n>" once it listens. Options:
  --dir DIR           the user's home folder
  --user U --password P
  --port N            0 (default) picks a free port
  --throttle B        bytes per second each way on data connections (0 = unlimited)
  --drop-after N      the first transfer that reaches N bytes loses its data connection
  --kill-after N      the server kills itself (SIGKILL) when a transfer reaches N bytes
  --no-overwrite      RNTO refuses an existing target, as some servers do
"""
import argparse
import logging
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.log import logger
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--user", default="mivo")
    parser.add_argument("--password", default="jelszo")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--throttle", type=int, default=0)
    parser.add_argument("--drop-after", type=int, default=-1)
    parser.add_argument("--kill-after", type=int, default=-1)
    parser.add_argument("--no-overwrite", action="store_true")
    args = parser.parse_args()

    drop = {"after": args.drop_after}

    class Dtp(ThrottledDTPHandler):
        read_limit = args.throttle
        write_limit = args.throttle

        def _maybe_drop(self):
            if 0 <= args.kill_after <= self.get_transmitted_bytes():
                os.kill(os.getpid(), signal.SIGKILL)
            after = drop["after"]
            if after >= 0 and self.get_transmitted_bytes() >= after:
                drop["after"] = -1
                self._resp = ("426 Connection dropped by the test server.", logger.debug)
                self.close()
                return True
            return False

        def handle_read(self):
            super().handle_read()
            if not self._closed:
                self._maybe_drop()

        handle_read_event = handle_read

        def send(self, data):
            sent = super().send(data)
            self._maybe_drop()
            return sent

    class Handler(FTPHandler):
        dtp_handler = Dtp
        use_sendfile = False
        permit_foreign_addresses = False

        def ftp_RNTO(self, path):
            if args.no_overwrite and os.path.exists(path):
                self.respond("550 Target exists.")
                self._rnfr = None
                return
            return super().ftp_RNTO(path)

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.dir, perm="elradfmwMT")
    Handler.authorizer = authorizer
    Handler.banner = "Mivo test FTP server"
    server = FTPServer(("127.0.0.1", args.port), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    sys.exit(main())
