#!/usr/bin/python3
"""The mail server of the tests: aiosmtpd on 127.0.0.1 and a free port.

Prints "PORT <n>" when it listens. Every accepted message is decoded with Python's own
e-mail package and written to the folder as <n>.json (envelope, decoded headers, body text,
attachments in base64) beside the raw <n>.eml. Recipients whose address starts with "nincs"
are refused with 550. With --user/--password the server asks for a login (AUTH PLAIN and
LOGIN over the plain connection) and refuses any other pair with 535.
"""
import argparse
import asyncio
import base64
import email
import email.policy
import json
import logging
import os
import signal
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("nincs"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        raw = envelope.content
        message = email.message_from_bytes(raw, policy=email.policy.default)
        body = ""
        attachments = []
        for part in message.walk():
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                attachments.append({
                    "filename": part.get_filename(),
                    "content_type": part.get_content_type(),
                    "data": base64.b64encode(part.get_payload(decode=True)).decode("ascii"),
                })
            elif part.get_content_type() == "text/plain" and not body:
                body = part.get_content()
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "date": str(message["Date"]),
            "body": body,
            "attachments": attachments,
        }
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(raw)
        with open(base + ".json.part", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False)
        os.replace(base + ".json.part", base + ".json")
        return "250 Message accepted for delivery"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password")
    args = parser.parse_args()
    # A login without TLS is what the tests want; the warnings about it are noise.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok, handled=False)

    handler = Handler(args.dir)
    options = {}
    if args.user:
        options = dict(authenticator=authenticate, auth_required=True, auth_require_tls=False)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(handler, hostname="mivo.test", enable_SMTPUTF8=True, **options),
        "127.0.0.1", 0))
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    try:
        loop.run_forever()
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
