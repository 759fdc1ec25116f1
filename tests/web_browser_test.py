#!/usr/bin/python3
"""The browser client in a real browser.

Starts zelbowin-server with the web listener and three robots, opens the
page in headless Chromium, joins as "Tester" in the South seat and plays the
whole first deal by clicking cards on the canvas and answering the dialogs
(checking on the way that the name of the seat to act is underlined).
Midway it drops the WebSocket and checks that the page says so, sits South
again and the game goes on. What the page shows is checked against the
server's pane (its standard output) and its score sheet (the autosave).
Leaves a screenshot in $ZELBO_WEB_PNG (default web.png here).

Then a club server (--lobby): the lobby page lists a table opened meanwhile
within two seconds, its form opens a private table with robots and gives
its link, and the table page served under that link joins and deals.

usage: web_browser_test.py SERVER SCORE_SHEET_DUMP
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

SERVER, DUMP = sys.argv[1], sys.argv[2]
SOUTH = 0
PHASE_PLAYING, PHASE_FIRST_LEAD = 2, 6
DEADLINE = 60  # seconds for any one thing to happen


class Server:
    """zelbowin-server on free ports, its pane lines collected as they come."""

    def __init__(self, folder, lobby=False):
        self.folder = folder
        self.lines = []
        self.lock = threading.Lock()
        options = ['--lobby'] if lobby else ['--robots', '3', '--seed', '4']
        self.proc = subprocess.Popen(
            [SERVER, '--port', '0', '--web', '0', '--dir', folder] + options,
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        threading.Thread(target=self._read, daemon=True).start()
        port_line = r'lobby on port (\d+)' if lobby else r'browsers on port (\d+)'
        self.web_port = int(self.wait_for(port_line).group(1))

    def _read(self):
        for line in self.proc.stdout:
            with self.lock:
                self.lines.append(line.rstrip('\n'))

    def pane(self):
        with self.lock:
            return list(self.lines)

    def wait_for(self, pattern, count=1):
        deadline = time.monotonic() + DEADLINE
        while time.monotonic() < deadline:
            found = [m for m in (re.search(pattern, l) for l in self.pane()) if m]
            if len(found) >= count:
                return found[-1]
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        raise AssertionError(f'server never printed {pattern!r} ({count}x): {self.pane()[-20:]}')

    def score_sheet(self):
        out = subprocess.run([DUMP, os.path.join(self.folder, 'temp.zelbo')],
                             capture_output=True, text=True)
        return out.stdout.splitlines() if out.returncode == 0 else None

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.proc.stdout.close()


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for arg in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync',
                '--disable-dev-shm-usage', f'--user-data-dir={profile}', '--window-size=1280,800'):
        options.add_argument(arg)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


class WebClientTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='zelbo-web-')
        self.server = Server(self.folder)
        self.browser = start_browser(os.path.join(self.folder, 'profile'))
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.addCleanup(self.server.stop)
        self.addCleanup(self.browser.quit)

    # ---- helpers ----

    def hook(self, name, *args):
        return self.browser.execute_script(
            f'return window.zelboTest && window.zelboTest.{name}(...arguments);', *args)

    def open_page(self, query=''):
        self.browser.get(f'http://127.0.0.1:{self.server.web_port}/{query}')

    def state(self):
        return self.hook('state')

    def until(self, what, condition):
        return WebDriverWait(self.browser, DEADLINE, poll_frequency=0.05).until(
            lambda _: condition(), message=what)

    def click_at(self, point):
        actions = ActionBuilder(self.browser)
        actions.pointer_action.move_to_location(int(point['x']), int(point['y'])).click()
        actions.perform()

    def ink_under_name(self, x, y):
        """The share of the underline's row, below the first letters of the
        name drawn at layout point (x, y), that is not the table's colour."""
        return self.browser.execute_script("""
            const [x, y] = arguments;
            const page = window.zelboTest.page();
            const face = page.faces[1];
            const c = document.getElementById('table');
            const ctx = c.getContext('2d');
            const r = c.width / page.tableWidth;
            const table = ctx.getImageData(c.width - 2, c.height - 2, 1, 1).data;
            const row = Math.floor((y + face.underlineTop + face.underlineThickness / 2) * r);
            const d = ctx.getImageData(Math.ceil(x * r), row, Math.floor(40 * r), 1).data;
            let ink = 0;
            for (let i = 0; i < d.length; i += 4) {
              if (Math.abs(d[i] - table[0]) + Math.abs(d[i + 1] - table[1]) + Math.abs(d[i + 2] - table[2]) > 60) ++ink;
            }
            return ink / (d.length / 4);""", x, y)

    def answer_pick(self):
        """Chooses Misere: everybody may double, the dealer last, so the page
        answers the Action dialog too, and doubling there gets the deal played."""
        # South, the dealer, is to act: its name (bottom) is underlined in
        # ink, West's (left) is not.
        self.until('the own name underlined', lambda: self.ink_under_name(400, 507) > 0.9)
        self.assertLess(self.ink_under_name(50, 228), 0.1)
        boxes = [self.browser.find_element(By.ID, f'pick-box-{i}') for i in range(7)]
        enabled = [i for i, b in enumerate(boxes) if b.is_enabled()]
        self.assertTrue(enabled, 'Pick a game offers no kind')
        self.assertEqual(['Trumps', 'Dominoes', 'Misere'], [
            self.browser.find_element(By.CSS_SELECTOR, f'label:has(#pick-box-{i}) span').text
            for i in range(3)])
        ok = self.browser.find_element(By.ID, 'pick-ok')
        ok.click()  # nothing chosen yet: the dialog stays
        self.assertTrue(self.hook('pickOpen'))
        choice = 2 if 2 in enabled else enabled[0]
        if not boxes[choice].is_selected():
            boxes[choice].click()
        if choice == 0:
            Select(self.browser.find_element(By.ID, 'pick-suit')).select_by_visible_text('Hearts')
        elif choice == 1:
            Select(self.browser.find_element(By.ID, 'pick-rank')).select_by_visible_text('Seven')
        self.browser.find_element(By.ID, 'pick-ok').click()
        self.until('Pick a game closes on OK', lambda: not self.hook('pickOpen'))

    def answer_action(self):
        """Doubles whoever may be doubled, so that the deal is played."""
        for i in range(3):
            box = self.browser.find_element(By.ID, f'action-box-{i}')
            if box.is_enabled() and not box.is_selected():
                box.click()
        self.browser.find_element(By.ID, 'action-ok').click()
        self.until('Action closes on OK', lambda: not self.hook('actionOpen'))

    def play_one_card(self):
        """Clicks a playable card of the own hand on the canvas; returns it."""
        state = self.state()
        playable = self.hook('playable')
        card = playable[0]
        slot = state['hand'].index(card)
        self.click_at(self.hook('slotPoint', slot))

        def gone():
            now = self.state()
            # The last card of a deal may bring the next deal's hand at once.
            return now['dealNumber'] != state['dealNumber'] or card not in now['hand']
        self.until(f'card {card} leaves the hand', gone)
        return card

    def check_pane_against_server(self):
        """Every line the server announced to the page is in the server's pane."""
        page = self.hook('paneLines')
        server = set(self.server.pane())
        announced = [l for l in page if ' is sitting ' in l or ' has joined' in l]
        self.assertTrue(announced, page)
        for line in announced:
            self.assertIn(line, server)
        self.assertEqual(page, list(self.browser.execute_script(
            'return [...document.querySelectorAll("#lines li")].map(li => li.textContent);')))

    def check_score_sheet_against_server(self):
        def same():
            server = self.server.score_sheet()
            return server is not None and server == self.hook('scoreLines')
        self.until('the page shows the server\'s score sheet', same)
        self.browser.find_element(By.ID, 'score-button').click()
        shown = self.browser.find_element(By.ID, 'score-lines').text.splitlines()
        self.assertEqual([l.rstrip() for l in self.hook('scoreLines')], [l.rstrip() for l in shown])
        self.browser.find_element(By.ID, 'score-close').click()

    # ---- the test ----

    def test_plays_the_first_deal_and_survives_a_drop(self):
        b = self.browser
        # Without ?test the page offers no test views.
        self.open_page()
        self.until('the join form', lambda: b.find_element(By.ID, 'join').is_displayed())
        self.assertFalse(b.execute_script('return "zelboTest" in window;'))
        self.open_page('?test')
        self.until('the join form', lambda: b.find_element(By.ID, 'join').is_displayed())
        handle = b.find_element(By.ID, 'join-handle')
        handle.clear()
        handle.send_keys('Tester')
        Select(b.find_element(By.ID, 'join-seat')).select_by_visible_text('South')
        b.find_element(By.ID, 'join-sit').click()
        self.server.wait_for(r'^Tester is sitting South$')
        self.until('seated South', lambda: (self.state() or {}).get('position') == SOUTH)
        self.assertEqual('Tester', b.execute_script(
            'return JSON.parse(localStorage.getItem("zelbowin")).handle;'))
        self.until('the table painted', lambda: self.hook('firstTableMs') is not None)

        first_deal = None
        played = 0
        answered = {'pick': 0, 'action': 0}
        dropped = False
        deadline = time.monotonic() + 10 * DEADLINE
        while time.monotonic() < deadline:
            s = self.state()
            if s['connected'] and first_deal is None and s['dealNumber'] > 0:
                first_deal = s['dealNumber']
            if first_deal is not None and s['dealNumber'] > first_deal:
                break
            if self.hook('pickOpen'):
                self.answer_pick()
                answered['pick'] += 1
            elif self.hook('actionOpen'):
                self.answer_action()
                answered['action'] += 1
            elif (s['connected'] and s['position'] == SOUTH and
                  s['phase'] in (PHASE_PLAYING, PHASE_FIRST_LEAD) and s['turn'] == SOUTH and
                  self.hook('playable')):
                self.play_one_card()
                played += 1
                if played == 4 and not dropped:
                    b.save_screenshot(os.environ.get('ZELBO_WEB_PNG', 'web.png'))
                    self.drop_and_sit_again()
                    dropped = True
            else:
                time.sleep(0.05)
        else:
            self.fail(f'the first deal did not end: {self.state()}')

        print('dialogs answered:', answered, 'cards played:', played, file=sys.stderr)
        # South deals the first deal of this seed.
        self.assertEqual(answered['pick'], 1)
        self.assertGreaterEqual(answered['action'], 1)
        self.assertTrue(dropped, f'only {played} cards played by the page')
        self.assertGreaterEqual(played, 4)
        self.check_pane_against_server()
        self.check_score_sheet_against_server()
        self.check_settings_are_remembered()
        self.check_table_fits_a_phone_in_landscape()
        # The page, its scripts, the WebAssembly and the socket all work under
        # the door's Content-Security-Policy: nothing was blocked.
        blocked = [e['message'] for e in b.get_log('browser') if 'Content Security Policy' in e['message']]
        self.assertEqual([], blocked)

    def check_settings_are_remembered(self):
        b = self.browser
        b.find_element(By.ID, 'settings-button').click()
        b.execute_script("""
            const s = document.getElementById('set-spacing');
            s.value = '24'; s.dispatchEvent(new Event('input'));
            const c = document.getElementById('set-colour');
            c.value = '#336699'; c.dispatchEvent(new Event('input'));""")
        b.find_element(By.CSS_SELECTOR, '#settings button').click()
        stored = b.execute_script('return JSON.parse(localStorage.getItem("zelbowin"));')
        self.assertEqual((stored['spacing'], stored['colour'], stored['handle']), (24, '#336699', 'Tester'))
        # The table is painted in the new colour (a corner of the canvas).
        self.until('the new table colour', lambda: b.execute_script("""
            const c = document.getElementById('table');
            const d = c.getContext('2d').getImageData(c.width - 2, c.height - 2, 1, 1).data;
            return d[0] === 0x33 && d[1] === 0x66 && d[2] === 0x99;"""))

    def check_table_fits_a_phone_in_landscape(self):
        b = self.browser
        # A phone held in landscape: 844 x 390 CSS pixels, three device pixels each.
        b.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                          {'width': 844, 'height': 390, 'deviceScaleFactor': 3, 'mobile': True})
        def fits():
            left, top, right, bottom, width, height, pixels = b.execute_script("""
                const c = document.getElementById('table'), r = c.getBoundingClientRect();
                return [r.left, r.top, r.right, r.bottom, innerWidth, innerHeight, c.width];""")
            table_width, table_height = self.hook('tableSize')
            return (left >= 0 and top >= 0 and right <= width and bottom <= height and
                    abs((right - left) / (bottom - top) - table_width / table_height) < 0.02 and
                    bottom - top > 0.8 * height and abs(pixels - 3 * (right - left)) <= 3)
        self.until('the table fits a phone held in landscape, in proportion and sharp', fits)

    def drop_and_sit_again(self):
        self.hook('drop')
        self.until('the page says the connection is lost',
                   lambda: 'lost' in self.hook('statusText') or 'Reconnecting' in self.hook('statusText'))
        self.server.wait_for(r'^Tester is sitting South$', count=2)
        self.until('seated South again', lambda: (self.state() or {}).get('position') == SOUTH
                   and self.state()['connected'])
        self.assertIn('Connection closed', self.hook('paneLines'))


class LobbyTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='zelbo-lobby-')
        self.server = Server(self.folder, lobby=True)
        self.browser = start_browser(os.path.join(self.folder, 'profile'))
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.addCleanup(self.server.stop)
        self.addCleanup(self.browser.quit)

    def until(self, what, condition):
        return WebDriverWait(self.browser, DEADLINE, poll_frequency=0.05).until(
            lambda _: condition(), message=what)

    def test_lobby_opens_a_private_table_whose_link_plays(self):
        b = self.browser
        base = f'http://127.0.0.1:{self.server.web_port}/'
        b.get(base)
        self.until('the house table listed', lambda: b.find_elements(By.CSS_SELECTOR, 'tr[data-id="main"]'))
        # A table opened elsewhere shows within two seconds.
        request = urllib.request.Request(base + 'api/tables', data=b'{"name":"Elsewhere"}',
                                         headers={'Content-Type': 'application/json'})
        other = json.load(urllib.request.urlopen(request))['id']
        opened = time.monotonic()
        WebDriverWait(b, 2, poll_frequency=0.05).until(
            lambda _: b.find_elements(By.CSS_SELECTOR, f'tr[data-id="{other}"]'),
            message='a new table listed within 2 s')
        self.assertLess(time.monotonic() - opened, 2.0)

        b.find_element(By.ID, 'create-name').send_keys('Friends')
        Select(b.find_element(By.ID, 'create-robots')).select_by_value('easy')
        b.find_element(By.ID, 'create-listed').click()
        b.find_element(By.ID, 'create-button').click()
        self.until('the link of the new table', lambda: b.find_element(By.ID, 'created').is_displayed())
        link = b.find_element(By.ID, 'created-link').get_attribute('href')
        self.assertRegex(link, r'^' + re.escape(base) + r't/[a-z2-7]{26}/$')
        b.find_element(By.ID, 'copy-link').click()
        self.until('the copy button answers', lambda: b.find_element(By.ID, 'copy-link').text != 'Copy link')
        table_id = link.rstrip('/').rsplit('/', 1)[1]
        self.assertFalse(b.find_elements(By.CSS_SELECTOR, f'tr[data-id="{table_id}"]'), 'a private table is listed')

        # The table page under its link: its files and its WebSocket are beside it.
        b.get(link + '?test')
        self.until('the join form', lambda: b.find_element(By.ID, 'join').is_displayed())
        handle = b.find_element(By.ID, 'join-handle')
        handle.clear()
        handle.send_keys('Friend')
        Select(b.find_element(By.ID, 'join-seat')).select_by_visible_text('South')
        b.find_element(By.ID, 'join-sit').click()
        self.server.wait_for(r'^\[' + table_id + r'\] Friend is sitting South$')
        self.until('a deal at the private table', lambda: (b.execute_script(
            'return window.zelboTest && window.zelboTest.state();') or {}).get('dealNumber', 0) > 0)
        blocked = [e['message'] for e in b.get_log('browser') if 'Content Security Policy' in e['message']]
        self.assertEqual([], blocked)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
