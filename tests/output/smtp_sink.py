#!/usr/bin/python3
"""A mail server for the tests: listens on loopback, refuses recipients whose
address starts with "reject", and writes every accepted message as JSON
(envelope recipients, decoded headers, attachments in base64) into a folder.
Prints "READY <port>" when it listens; stops when its standard input closes.
With a user and password after the folder it requires that login and
records the user of each message. With --tls CERT KEY first it requires
STARTTLS (with the certificate and key) before anything else, the login
included."""
import asyncio
import base64
import email
import email.header
import email.policy
import json
import os
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Sink:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("reject"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content or envelope.content, policy=email.policy.default)
        attachments = []
        for part in message.iter_attachments():
            attachments.append({"name": part.get_filename(), "type": part.get_content_type(),
                                "data": base64.b64encode(part.get_payload(decode=True)).decode()})
        body = message.get_body(preferencelist=("plain",))
        record = {"mail_from": envelope.mail_from, "rcpt": envelope.rcpt_tos, "from": str(message["From"]),
                  "to": str(message["To"]), "subject": str(message["Subject"]),
                  "body": body.get_content() if body is not None else "", "attachments": attachments,
                  "login": session.auth_data.decode() if isinstance(session.auth_data, bytes) else ""}
        self.count += 1
        path = os.path.join(self.folder, "%03d.json" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False)
        os.rename(path + ".part", path)
        return "250 Message accepted"


def main():
    args = sys.argv[1:]
    tls = None
    if args and args[0] == "--tls":
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(args[1], args[2])
        args = args[3:]
    folder = args[0]
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    options = {}
    if len(args) > 2:
        user, password = args[1].encode(), args[2].encode()

        def authenticate(server, session, envelope, mechanism, auth_data):
            ok = auth_data.login == user and auth_data.password == password
            # A refusal the server answers itself (535), not one already answered.
            return AuthResult(success=ok, handled=False, auth_data=auth_data.login if ok else None)

        options = {"authenticator": authenticate, "auth_required": True, "auth_require_tls": tls is not None}
    if tls is not None:
        options.update(tls_context=tls, require_starttls=True)
    controller = Controller(Sink(folder), hostname="127.0.0.1", port=port, **options)
    controller.start()
    print("READY %d" % port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
