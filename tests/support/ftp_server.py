#!/usr/bin/python3
"""A small FTP server for the FTP tests (pyftpdlib).

Listens on 127.0.0.1 at a free port, writes that port to --port-file once it
is listening, and appends every command line it receives to --log (one line
each, flushed at once) so tests can check what was asked for.

Files whose names contain "drop" lose their data connection halfway (the
server then answers 426); files whose names contain "stall" stop moving data
halfway while the connection stays open; files whose names contain "drip"
send their second half one byte every 0.1 s.
"""
import argparse
import logging
import os
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer


class FaultyDTPHandler(DTPHandler):
    """A data channel that can break off after half of the file."""

    ac_out_buffer_size = 4096
    drip_every = 0.1
    next_drip = 0.0
    drip_waiting = False

    def send(self, data):
        fault = getattr(self.cmd_channel, "fault", None)
        if fault is None:
            return super().send(data)
        if self.tot_bytes_sent < fault[1]:
            return super().send(data[: fault[1] - self.tot_bytes_sent])
        if fault[0] == "drip":
            return self.drip(data)
        if fault[0] == "drop":
            self.handle_close()  # data still queued: the answer is 426
        else:
            # Stop writing and wait; the client gives up on its own.
            self.modify_ioloop_events(self.ioloop.READ)
        return 0

    def drip(self, data):
        now = time.monotonic()
        if now >= self.next_drip:
            self.next_drip = now + self.drip_every
            return super().send(data[:1])
        # Not writable until the next byte is due.
        self.modify_ioloop_events(self.ioloop.READ)
        if not self.drip_waiting:
            self.drip_waiting = True
            self.call_later(self.next_drip - now, self.resume_drip)
        return 0

    def resume_drip(self):
        self.drip_waiting = False
        self.modify_ioloop_events(self.ioloop.WRITE)


class LoggingHandler(FTPHandler):
    dtp_handler = FaultyDTPHandler
    use_sendfile = False
    auth_failed_timeout = 0  # answer a wrong password at once
    command_log = None

    def pre_process_command(self, line, cmd, arg):
        with open(self.command_log, "a", encoding="utf-8", errors="surrogateescape") as out:
            out.write(line + "\n")
        return super().pre_process_command(line, cmd, arg)

    def ftp_RETR(self, file):
        name = os.path.basename(file)
        self.fault = None
        for kind in ("drop", "stall", "drip"):
            if kind in name:
                self.fault = (kind, os.path.getsize(file) // 2)
        return super().ftp_RETR(file)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", action="append", default=[], help="name:password[:perm]")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    for account in args.user:
        name, password, *perm = account.split(":", 2)
        authorizer.add_user(name, password, args.root, perm=perm[0] if perm else "elr")
    LoggingHandler.authorizer = authorizer
    LoggingHandler.command_log = args.log

    config_logging(level=logging.WARNING)
    server = FTPServer(("127.0.0.1", 0), LoggingHandler)
    port = server.socket.getsockname()[1]
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as out:
        out.write(str(port))
    os.rename(temporary, args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
