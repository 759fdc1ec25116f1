"""What the browser tests share: zelbowin-server as a child process on free
ports with its pane collected, headless Chromium, and a test case that holds
both in a temporary folder and fills in the join form."""

import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

DEADLINE = 60  # seconds for any one thing to happen


class Server:
    """zelbowin-server on free ports, its pane lines collected as they come.
    A lobby has no table of its own, so no table port."""

    def __init__(self, program, folder, options, lobby=False):
        self.folder = folder
        self.lines = []
        self.lock = threading.Lock()
        self.proc = subprocess.Popen(
            [program, '--port', '0', '--web', '0', '--dir', folder] + list(options),
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        threading.Thread(target=self._read, daemon=True).start()
        self.web_port = int(self.wait_for(r'lobby on port (\d+)' if lobby else r'browsers on port (\d+)').group(1))
        if not lobby:
            self.port = int(self.wait_for(r'table open on port (\d+)').group(1))

    def _read(self):
        for line in self.proc.stdout:
            with self.lock:
                self.lines.append(line.rstrip('\n'))

    def pane(self):
        with self.lock:
            return list(self.lines)

    def wait_for(self, pattern, count=1, seconds=DEADLINE):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = [m for m in (re.search(pattern, l) for l in self.pane()) if m]
            if len(found) >= count:
                return found[-1]
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        raise AssertionError(f'server never printed {pattern!r} ({count}x): {self.pane()[-20:]}')

    def get(self, path):
        with urllib.request.urlopen(f'http://127.0.0.1:{self.web_port}{path}', timeout=DEADLINE) as r:
            return r.read()

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.proc.stdout.close()


class BrowserTest(unittest.TestCase):
    """A temporary folder, a server in it and a browser, each gone after the test."""

    def make_folder(self, prefix):
        self.folder = tempfile.mkdtemp(prefix=prefix)
        self.addCleanup(shutil.rmtree, self.folder, True)

    def start_server(self, program, options, lobby=False):
        self.server = Server(program, self.folder, options, lobby)
        self.addCleanup(self.server.stop)

    def start_browser(self, window='1280,800'):
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for arg in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                    '--disable-background-networking', '--disable-component-update', '--disable-sync',
                    '--disable-dev-shm-usage', f'--user-data-dir={os.path.join(self.folder, "profile")}',
                    f'--window-size={window}'):
            options.add_argument(arg)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.browser = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.addCleanup(self.browser.quit)

    def until(self, what, condition, seconds=DEADLINE, poll=0.05):
        return WebDriverWait(self.browser, seconds, poll_frequency=poll).until(
            lambda _: condition(), message=what)

    def join(self, url, handle, seat):
        """Opens the table page at `url` and sits `handle` at `seat` (its name) by the join form."""
        b = self.browser
        b.get(url)
        self.until('the join form', lambda: b.find_element(By.ID, 'join').is_displayed())
        field = b.find_element(By.ID, 'join-handle')
        field.clear()
        field.send_keys(handle)
        Select(b.find_element(By.ID, 'join-seat')).select_by_visible_text(seat)
        b.find_element(By.ID, 'join-sit').click()

    def csp_blocked(self):
        """What the browser's log says the Content-Security-Policy blocked."""
        return [e['message'] for e in self.browser.get_log('browser') if 'Content Security Policy' in e['message']]
