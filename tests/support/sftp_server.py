#!/usr/bin/python3
"""A small SFTP server for the fetch tests (paramiko).

Serves --root as "/" to the --user "name:password" accounts, read-only, on
127.0.0.1 at a free port.  The host key is read from --host-key (an ECDSA key
made there when the file is absent), and its SHA-256 fingerprint, as OpenSSH
prints it, is written to --fingerprint-file.  The port is written to
--port-file once the server listens.  Every authentication attempt and every
file opened is appended to --log (one line each, flushed at once), so tests
can check what a client sent.  Files whose names contain "private" are
refused as not permitted.
"""
import argparse
import base64
import hashlib
import os
import posixpath
import socket
import threading

import paramiko


class Log:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()

    def write(self, line):
        with self.lock, open(self.path, "a", encoding="utf-8", errors="surrogateescape") as out:
            out.write(line + "\n")


class Server(paramiko.ServerInterface):
    def __init__(self, accounts, log):
        self.accounts = accounts
        self.log = log

    def get_allowed_auths(self, username):
        self.log.write("auth-list " + username)
        return "password"

    def check_auth_none(self, username):
        self.log.write("auth-none " + username)
        return paramiko.AUTH_FAILED

    def check_auth_password(self, username, password):
        self.log.write("auth-password " + username)
        if self.accounts.get(username) == password:
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_channel_request(self, kind, chanid):
        if kind == "session":
            return paramiko.OPEN_SUCCEEDED
        return paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED


class Files(paramiko.SFTPServerInterface):
    root = None
    log = None

    def local(self, path):
        # "/" is the served folder; nothing above it can be named.
        return os.path.join(self.root, posixpath.normpath("/" + path).lstrip("/"))

    def canonicalize(self, path):
        return "/" + posixpath.normpath("/" + path).lstrip("/")

    def attributes(self, path, follow):
        try:
            info = os.stat(path) if follow else os.lstat(path)
        except OSError as e:
            return paramiko.SFTPServer.convert_errno(e.errno)
        return paramiko.SFTPAttributes.from_stat(info)

    def stat(self, path):
        return self.attributes(self.local(path), True)

    def lstat(self, path):
        return self.attributes(self.local(path), False)

    def list_folder(self, path):
        local = self.local(path)
        try:
            names = os.listdir(local)
        except OSError as e:
            return paramiko.SFTPServer.convert_errno(e.errno)
        return [paramiko.SFTPAttributes.from_stat(os.stat(os.path.join(local, n)), n) for n in names]

    def open(self, path, flags, attr):
        self.log.write("open " + self.canonicalize(path))
        if flags & (os.O_WRONLY | os.O_RDWR):
            return paramiko.SFTP_PERMISSION_DENIED
        if "private" in posixpath.basename(path):
            return paramiko.SFTP_PERMISSION_DENIED
        try:
            f = open(self.local(path), "rb")
        except OSError as e:
            return paramiko.SFTPServer.convert_errno(e.errno)
        handle = paramiko.SFTPHandle(flags)
        handle.readfile = f
        handle.filename = self.local(path)
        return handle


def host_key(path):
    if not os.path.exists(path):
        key = paramiko.ECDSAKey.generate()
        key.write_private_key_file(path)
    return paramiko.ECDSAKey.from_private_key_file(path)


def serve(connection, key, accounts, log):
    transport = paramiko.Transport(connection)
    transport.add_server_key(key)
    transport.set_subsystem_handler("sftp", paramiko.SFTPServer, Files)
    try:
        transport.start_server(server=Server(accounts, log))
    except (paramiko.SSHException, EOFError, OSError):
        return
    while transport.is_active():
        transport.join(0.5)


def write_whole(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w") as out:
        out.write(text)
    os.rename(temporary, path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--host-key", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--fingerprint-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", action="append", default=[], help="name:password")
    args = parser.parse_args()

    accounts = dict(account.split(":", 1) for account in args.user)
    log = Log(args.log)
    Files.root = os.path.abspath(args.root)
    Files.log = log
    key = host_key(args.host_key)
    digest = hashlib.sha256(key.asbytes()).digest()
    write_whole(args.fingerprint_file, "SHA256:" + base64.b64encode(digest).decode().rstrip("="))

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    write_whole(args.port_file, str(listener.getsockname()[1]))
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve, args=(connection, key, accounts, log), daemon=True).start()


if __name__ == "__main__":
    main()
