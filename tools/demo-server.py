#!/usr/bin/env python3
"""A small stand-in for the clock's web server, for local runs and tests.

Listens on 127.0.0.1 only and serves:
  /Weather_Tempora.htm  a weather page (made-up forecast)
  /AD/AD003.txt         the ad file (GBK): --ad FILE as it is, or a sample
  /Upgrade.txt          the latest version, --upgrade VERSION (404 without)
  /Holiday.lst          the holidays, --holidays FILE as it is (404 without)
  /                     a home page
  /quit                 ends the server

    tools/demo-server.py PORT [--ad FILE] [--ad-id ID] [--ad-mode MODE]
                              [--upgrade VERSION] [--holidays FILE]
                              [--ready-file PATH] [--lifetime SECONDS]

PORT 0 takes any free port; --ready-file then tells which.

--ad-mode says how the ad file is sent, so that tests can try what goes
wrong on real networks:
  normal         the whole file
  truncated      announces the whole length, sends half and hangs up
  slow           one byte every half second
  endless        an ad file that never ends, as fast as it goes
  error          HTTP 500
  redirect-file  a redirect to a file: address
--ready-file is written once the server listens (tests wait for it);
--lifetime ends the server after that many seconds whatever happens, so a
test that dies leaves nothing running.
"""

import argparse
import http.server
import os
import sys
import threading
import time

WEATHER_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>天气预报</title>
<style>
 body { margin: 0; font: 12px "宋体", SimSun, sans-serif; color: #1d2b3a;
        background: linear-gradient(#dcecff, #ffffff); }
 .now { display: flex; align-items: center; padding: 8px 12px 4px; }
 .sun { width: 34px; height: 34px; border-radius: 17px; background: #ffc83d;
        box-shadow: 0 0 0 4px #ffe9a8; margin-right: 12px; }
 .temp { font-size: 26px; font-weight: bold; margin-right: 10px; }
 .days { display: flex; justify-content: space-between; padding: 4px 12px; }
 .day { text-align: center; width: 23%; padding: 4px 0; border-radius: 6px; background: #eef5ff; }
 .day b { display: block; color: #3a6ea5; }
 .note { padding: 2px 12px; color: #6a7a8a; }
</style></head><body>
<div class="now"><div class="sun"></div><div class="temp">18&deg;</div>
<div>本地 &middot; 晴<br>东南风 2 级 &middot; 湿度 45%</div></div>
<div class="days">
 <div class="day"><b>今天</b>晴<br>9~18&deg;</div>
 <div class="day"><b>明天</b>多云<br>8~16&deg;</div>
 <div class="day"><b>后天</b>小雨<br>7~12&deg;</div>
 <div class="day"><b>周日</b>阴<br>6~11&deg;</div>
</div>
<div class="note">演示数据，来自本机的演示服务器。</div>
</body></html>
"""

HOME_PAGE = """<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>嘀嗒桌面时钟</title></head>
<body style="font: 14px sans-serif; margin: 40px; color: #1d2b3a">
<h1>嘀嗒桌面时钟 3.7.7</h1><p>本机演示服务器的主页。</p></body></html>
"""


def sample_ad(ad_id, port):
    base = f"http://127.0.0.1:{port}"
    lines = [
        f"{ad_id}|5",
        "*", "1", "今日天气：晴 9~18°", "", f"{base}/Weather_Tempora.htm",
        "*", "3", "把嘀嗒主页设为浏览器主页", "", f"{base}/",
        "$",
    ]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("port", type=int)
    parser.add_argument("--ad", help="ad file to serve as it is")
    parser.add_argument("--ad-id", default="1", help="the sample ad file's id")
    parser.add_argument("--ad-mode", default="normal",
                        choices=["normal", "truncated", "slow", "endless", "error",
                                 "redirect-file"])
    parser.add_argument("--upgrade", help="the version /Upgrade.txt names")
    parser.add_argument("--holidays", help="holiday file to serve as /Holiday.lst")
    parser.add_argument("--ready-file")
    parser.add_argument("--lifetime", type=float, default=0)
    args = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *_):
            pass

        def send_body(self, body, content_type):
            self.send_response(200)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

        def send_ad(self):
            mode = args.ad_mode
            if mode == "error":
                self.send_error(500)
                return
            if mode == "redirect-file":
                self.send_response(302)
                self.send_header("Location", "file:///C:/windows/win.ini")
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            if mode == "normal":
                self.send_body(ad_body, "text/plain; charset=gbk")
                return
            self.send_response(200)
            self.send_header("Content-Type", "text/plain; charset=gbk")
            if mode != "endless":
                self.send_header("Content-Length", str(len(ad_body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            if mode == "truncated":
                self.wfile.write(ad_body[: len(ad_body) // 2])
            elif mode == "slow":
                for i in range(len(ad_body)):
                    self.wfile.write(ad_body[i:i + 1])
                    self.wfile.flush()
                    time.sleep(0.5)
            else:  # endless
                chunk = b"*\r\n1\r\nmore\r\n\r\nhttp://127.0.0.1/\r\n" * 256
                self.wfile.write(ad_body.replace(b"$\r\n", b""))
                while True:
                    self.wfile.write(chunk)

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            try:
                if path == "/Weather_Tempora.htm":
                    self.send_body(WEATHER_PAGE.encode("utf-8"), "text/html; charset=utf-8")
                elif path == "/AD/AD003.txt":
                    self.send_ad()
                elif path == "/Upgrade.txt" and args.upgrade:
                    self.send_body((args.upgrade + "\r\n").encode("ascii"), "text/plain")
                elif path == "/Holiday.lst" and args.holidays:
                    with open(args.holidays, "rb") as f:
                        self.send_body(f.read(), "text/plain; charset=gbk")
                elif path == "/":
                    self.send_body(HOME_PAGE.encode("utf-8"), "text/html; charset=utf-8")
                elif path == "/quit":
                    self.send_body(b"bye\r\n", "text/plain")
                    threading.Thread(target=server.shutdown, daemon=True).start()
                else:
                    self.send_error(404)
            except (BrokenPipeError, ConnectionResetError):
                pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    port = server.server_address[1]
    if args.ad:
        with open(args.ad, "rb") as f:
            ad_body = f.read()
    else:
        ad_body = sample_ad(args.ad_id, port)
    if args.lifetime > 0:
        timer = threading.Timer(args.lifetime, server.shutdown)
        timer.daemon = True
        timer.start()
    if args.ready_file:
        # Whole or not at all: a test reading it early must not see half a number.
        with open(args.ready_file + ".tmp", "w") as f:
            f.write(f"{port}\n")
        os.replace(args.ready_file + ".tmp", args.ready_file)
    try:
        server.serve_forever()
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
