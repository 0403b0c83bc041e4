# SMTP test peer for the mail sender's tests: aiosmtpd listeners that store what they accept.
"""SMTP test peer: an implicit-TLS and a plain listener on 127.0.0.1 that store each accepted message.

Started by the tests on free ports. It prints one line "tls=<port> plain=<port>" when both
listeners accept connections, and stops on SIGTERM or when its standard input closes (so a
crashed test leaves no peer behind).

Every accepted message is stored as <dir>/<n>.eml (the bytes as received) and described in
<dir>/<n>.txt, one "key=value" line each, made with Python's email package; in values a
backslash, CR and LF are written as \\\\, \\r and \\n. Every accepted connection appends its
listener's name to <dir>/connections.log.
"""

import argparse
import asyncio
import email
import email.policy
import hashlib
import os
import signal
import socket
import ssl
import subprocess
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def escape(value):
    return str(value).replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


def make_certificate(folder):
    """A throw-away self-signed certificate for this run only."""
    cert = os.path.join(folder, "peer-cert.pem")
    key = os.path.join(folder, "peer-key.pem")
    subprocess.run(
        # An EC key: made in milliseconds, where RSA would slow every test's start.
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-days", "1",
         "-subj", "/CN=localhost", "-keyout", key, "-out", cert],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def describe(content):
    """The key=value lines the tests read: envelope-independent message structure."""
    msg = email.message_from_bytes(content, policy=email.policy.default)
    lines = []
    raw_headers = content.split(b"\r\n\r\n", 1)[0].decode("ascii", "replace")
    lines.append(("raw_headers", raw_headers))
    for name in ("From", "To", "Subject", "Date", "MIME-Version"):
        value = msg.get(name)
        if value is not None:
            lines.append(("header." + name.lower(), str(value)))
    sender = msg.get("From")
    if sender is not None and getattr(sender, "addresses", None):
        lines.append(("from.display_name", sender.addresses[0].display_name))
        lines.append(("from.addr_spec", sender.addresses[0].addr_spec))
    defects = 0
    for index, part in enumerate(msg.walk()):
        prefix = "part.%d." % index
        defects += len(part.defects)
        lines.append((prefix + "content_type", part.get_content_type()))
        if part.is_multipart():
            continue
        lines.append((prefix + "charset", part.get_content_charset() or ""))
        lines.append((prefix + "cte", part.get("Content-Transfer-Encoding", "")))
        if part.get_filename():
            lines.append((prefix + "filename", part.get_filename()))
        payload = part.get_payload(decode=True) or b""
        lines.append((prefix + "sha256", hashlib.sha256(payload).hexdigest()))
        if part.get_content_maintype() == "text":
            lines.append((prefix + "text", payload.decode(part.get_content_charset() or "ascii",
                                                          "replace")))
    lines.append(("part_count", sum(1 for _ in msg.walk())))
    lines.append(("defects", defects))
    return lines


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    def connection(self, listener):
        with open(os.path.join(self.folder, "connections.log"), "a") as log:
            log.write(listener + "\n")

    def save(self, listener, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        lines = [("listener", listener)]
        if session.ssl is not None or listener == "tls":
            lines.append(("tls_version", session.tls_version or ""))
        lines.append(("auth_user", session.auth_user or ""))
        lines.append(("mail_from", envelope.mail_from))
        lines.append(("rcpt_count", len(envelope.rcpt_tos)))
        for i, rcpt in enumerate(envelope.rcpt_tos):
            lines.append(("rcpt.%d" % i, rcpt))
        lines.extend(describe(envelope.original_content))
        # Written under a temporary name first so a reader never sees half a file.
        with open(base + ".tmp", "w", encoding="utf-8") as f:
            for key, value in lines:
                f.write("%s=%s\n" % (key, escape(value)))
        os.replace(base + ".tmp", base + ".txt")


class Handler:
    def __init__(self, store, listener, args):
        self.store = store
        self.listener = listener
        self.args = args

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.args.stall_command == "MAIL":
            await asyncio.Event().wait()
        if self.args.reject_sender and address == self.args.reject_sender:
            return "550 5.1.1 Sender address rejected"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.args.stall_command == "RCPT":
            await asyncio.Event().wait()
        if self.args.reject_recipient and address == self.args.reject_recipient:
            return "550 5.1.1 Recipient address rejected: user unknown"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.args.data_delay:
            await asyncio.sleep(self.args.data_delay)
        self.store.save(self.listener, session, envelope)
        return "250 2.0.0 OK stored"


class PeerSMTP(SMTP):
    """Notes the listener, TLS version and login of each session for the message record."""

    def __init__(self, handler, store, listener, **kwargs):
        super().__init__(handler, **kwargs)
        self.peer_store = store
        self.listener = listener

    def connection_made(self, transport):
        self.peer_store.connection(self.listener)
        # Multi-line replies go out line by line; without this each waits for the client's delayed ACK.
        sock = transport.get_extra_info("socket")
        if sock is not None:
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        super().connection_made(transport)
        ssl_object = transport.get_extra_info("ssl_object")
        self.session.tls_version = ssl_object.version() if ssl_object else None
        self.session.auth_user = None


class Silent(asyncio.Protocol):
    """Accepts the connection and never answers, not even to a TLS handshake."""

    def __init__(self, store, listener):
        self.store = store
        self.listener = listener

    def connection_made(self, transport):
        self.store.connection(self.listener)
        self.transport = transport


def free_socket():
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    sock.listen(64)
    sock.setblocking(False)
    return sock


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dir", required=True, help="folder for certificate and messages")
    parser.add_argument("--auth", choices=["none", "login", "plain"], default="login",
                        help="none: no AUTH offered; login: LOGIN and PLAIN; plain: PLAIN only")
    parser.add_argument("--user", default="uzivatel")
    parser.add_argument("--password", default="heslo")
    parser.add_argument("--reject-login", action="store_true", help="every login fails, 535 5.7.8")
    parser.add_argument("--reject-sender", default="", help="this MAIL FROM address gets 550 5.1.1")
    parser.add_argument("--reject-recipient", default="", help="this RCPT TO address gets 550 5.1.1")
    parser.add_argument("--silent", action="store_true", help="accept connections, never answer")
    parser.add_argument("--stall-command", choices=["", "MAIL", "RCPT"], default="",
                        help="never answer this command")
    parser.add_argument("--data-delay", type=float, default=0,
                        help="seconds to wait before answering the end of DATA")
    args = parser.parse_args()

    os.makedirs(args.dir, exist_ok=True)
    store = Store(args.dir)
    cert, key = make_certificate(args.dir)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (not args.reject_login and isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        if ok:
            session.auth_user = auth_data.login.decode() + " " + mechanism
        # handled=False lets aiosmtpd answer a failure with 535 5.7.8 itself.
        return AuthResult(success=ok, handled=False)

    def smtp_factory(listener):
        def factory():
            return PeerSMTP(Handler(store, listener, args), store, listener,
                            hostname="peer.test", authenticator=authenticator,
                            auth_require_tls=(args.auth == "none"),
                            auth_exclude_mechanism=["LOGIN"] if args.auth == "plain" else None,
                            decode_data=False, timeout=30)
        return factory

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    tls_sock, plain_sock = free_socket(), free_socket()
    if args.silent:
        tls_server = loop.create_server(lambda: Silent(store, "tls"), sock=tls_sock)
        plain_server = loop.create_server(lambda: Silent(store, "plain"), sock=plain_sock)
    else:
        tls_server = loop.create_server(smtp_factory("tls"), sock=tls_sock, ssl=context)
        plain_server = loop.create_server(smtp_factory("plain"), sock=plain_sock)
    servers = [loop.run_until_complete(tls_server), loop.run_until_complete(plain_server)]

    stop = loop.stop
    loop.add_signal_handler(signal.SIGTERM, stop)
    loop.add_signal_handler(signal.SIGINT, stop)

    def stdin_readable():
        if not os.read(sys.stdin.fileno(), 4096):
            loop.remove_reader(sys.stdin.fileno())
            stop()

    loop.add_reader(sys.stdin.fileno(), stdin_readable)
    print("tls=%d plain=%d" % (tls_sock.getsockname()[1], plain_sock.getsockname()[1]), flush=True)
    loop.run_forever()
    for server in servers:
        server.close()


if __name__ == "__main__":
    main()
