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

A second table has a robot program in South and the page in East: the
page reloads mid-deal and sits East again without a click, refused
commands say why, and a deal is played with the keyboard only.

A third reaches its table through a proxy that can stop forwarding: the
server, its limits shortened, and the page each notice the dead link in
time, and the game goes on when traffic flows again. A fourth watches a
robot game to its end: the summary's totals are the hand records'.

Then a club server (--lobby): the lobby page lists a table opened meanwhile
within two seconds, its form opens a private table with robots and gives
its link, and the table page served under that link joins and deals.

usage: web_browser_test.py SERVER SCORE_SHEET_DUMP ROBOT
"""

import json
import os
import re
import socket
import subprocess
import sys
import threading
import time
import unittest
import urllib.request

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

from browser_support import DEADLINE, BrowserTest

SERVER, DUMP, ROBOT = sys.argv[1], sys.argv[2], sys.argv[3]
SOUTH, WEST, EAST = 0, 1, 3
PHASE_PLAYING, PHASE_FIRST_LEAD = 2, 6
IN_PLAY = (PHASE_PLAYING, PHASE_FIRST_LEAD)


class StallingProxy:
    """Forwards TCP connections to `upstream` until stalled; a stalled
    connection takes bytes both ways and forwards none, as a network that
    silently drops traffic would. Connections made after resume() flow."""

    def __init__(self):
        self.listener = socket.create_server(('127.0.0.1', 0))
        self.port = self.listener.getsockname()[1]
        self.upstream = None
        self.generation = 0
        self.stalled = False
        self.sockets = []
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.create_connection(('127.0.0.1', self.upstream))
            self.sockets += [client, server]
            generation = self.generation
            for a, b in ((client, server), (server, client)):
                threading.Thread(target=self._pump, args=(a, b, generation), daemon=True).start()

    def _pump(self, source, sink, generation):
        while True:
            try:
                data = source.recv(65536)
            except OSError:
                return
            if not data:
                if not self.stalled and generation == self.generation:
                    try:
                        sink.shutdown(socket.SHUT_WR)
                    except OSError:
                        pass
                return
            if self.stalled or generation != self.generation:
                continue
            try:
                sink.sendall(data)
            except OSError:
                return

    def stall(self):
        self.stalled = True

    def resume(self):
        self.generation += 1  # the stalled connections stay dead
        self.stalled = False

    def close(self):
        self.listener.close()
        for s in self.sockets:
            s.close()


class WebClientTest(BrowserTest):
    def setUp(self):
        self.make_folder('zelbo-web-')
        self.proxy = StallingProxy()
        self.addCleanup(self.proxy.close)
        # Robots take West and North, and East unless a robot program sits South.
        name = self._testMethodName
        robots = 4 if 'robot_game' in name else 2 if 'reload' in name else 3
        options = ['--robots', str(robots), '--seed', '4']
        if 'dead_link' in name:  # pings every second; no pong for four seconds closes
            options += ['--ping', '1', '--pong-timeout', '4', '--web-origin', f'http://127.0.0.1:{self.proxy.port}']
        self.start_server(SERVER, options)
        self.proxy.upstream = self.server.web_port
        self.start_browser()

    # ---- helpers ----

    def hook(self, name, *args):
        return self.browser.execute_script(
            f'return window.zelboTest && window.zelboTest.{name}(...arguments);', *args)

    def open_page(self, query=''):
        self.browser.get(f'http://127.0.0.1:{self.server.web_port}/{query}')

    def state(self):
        return self.hook('state')

    def click_at(self, point):
        actions = ActionBuilder(self.browser)
        actions.pointer_action.move_to_location(int(point['x']), int(point['y'])).click()
        actions.perform()

    def ink_under_name(self, seat):
        """The share of the underline's row, below the first letters of the
        seat's name, that is not the table's colour."""
        return self.browser.execute_script("""
            const t = window.zelboTest, face = t.page().faces[1];
            const n = t.layout().names[arguments[0]];
            const c = document.getElementById('table'), box = c.getBoundingClientRect();
            const ctx = c.getContext('2d');
            const k = c.width / box.width, css = box.width / t.tableSize()[0];
            const table = ctx.getImageData(c.width - 2, c.height - 2, 1, 1).data;
            const row = Math.floor((n.y - box.top + (face.underlineTop + face.underlineThickness / 2) * css) * k);
            const d = ctx.getImageData(Math.ceil((n.x - box.left) * k), row,
                                       Math.floor(Math.min(40 * css, n.width) * k), 1).data;
            let ink = 0;
            for (let i = 0; i < d.length; i += 4) {
              if (Math.abs(d[i] - table[0]) + Math.abs(d[i + 1] - table[1]) + Math.abs(d[i + 2] - table[2]) > 60) ++ink;
            }
            return ink / (d.length / 4);""", seat)

    def answer_pick(self):
        """Chooses Misere: everybody may double, the dealer last, so the page
        answers the Action dialog too, and doubling there gets the deal played."""
        # South, the dealer, is to act: its name (bottom) is underlined in
        # ink, West's (left) is not.
        self.until('the own name underlined', lambda: self.ink_under_name(SOUTH) > 0.9)
        self.assertLess(self.ink_under_name(WEST), 0.1)
        self.assertEqual('Your turn: pick a game', self.hook('turnText'))
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

    def until_played(self, card, deal):
        def gone():
            now = self.state()
            # The last card of a deal may bring the next deal's hand at once.
            return now['dealNumber'] != deal or card not in now['hand']
        self.until(f'card {card} leaves the hand', gone)

    def play_deal(self, seat, on_turn, before_dialog=lambda: None, after_dialog=lambda: None,
                  on_other=lambda s: False, each=lambda s: None):
        """Until the deal in play (or the first to be dealt) ends: answers the
        dialogs, calls on_turn(state) at each turn of `seat` to play a card,
        on_other(state) otherwise (true if it did something) and each(state)
        every time round."""
        deal = None
        deadline = time.monotonic() + 10 * DEADLINE
        while time.monotonic() < deadline:
            s = self.state()
            if deal is None and s['connected'] and s['dealNumber'] > 0:
                deal = s['dealNumber']
            if deal is not None and s['dealNumber'] > deal:
                return
            each(s)
            if self.hook('pickOpen') or self.hook('actionOpen'):
                before_dialog()
                self.answer_pick() if self.hook('pickOpen') else self.answer_action()
                after_dialog()
            elif (s['connected'] and s['position'] == seat and s['phase'] in IN_PLAY and s['turn'] == seat and
                  self.hook('playable')):
                on_turn(s)
            elif not on_other(s):
                time.sleep(0.05)
        self.fail(f'the deal did not end: {self.state()}')

    def until_in_play(self):
        """Answers the dialogs until a deal is in play."""
        def in_play():
            if self.hook('pickOpen'):
                self.answer_pick()
            elif self.hook('actionOpen'):
                self.answer_action()
            return self.state()['phase'] in IN_PLAY
        self.until('a deal in play', in_play)

    def play_by_keys(self, refuse_once):
        """Moves the focus ring with Left/Right to a playable card and plays
        it with Enter; with `refuse_once`, first tries a card that may not be
        played and checks that the page says why."""
        b = self.browser
        state = self.state()
        playable = self.hook('playable')
        target = playable[0]
        if refuse_once:
            unplayable = [c for c in state['hand'] if c not in playable and c != 52]
            if unplayable:
                target = unplayable[0]
        slots = [s['slot'] for s in self.hook('handSlots')]
        want = state['hand'].index(target)
        self.until('the table has the focus', lambda: b.execute_script(
            'return document.activeElement === document.getElementById("table");'))
        keys = ActionChains(b)
        if self.hook('focusSlot') not in slots:
            keys.send_keys(Keys.ARROW_RIGHT)
            keys.perform()
            keys = ActionChains(b)
        step = Keys.ARROW_RIGHT if slots.index(want) > slots.index(self.hook('focusSlot')) else Keys.ARROW_LEFT
        for _ in range(abs(slots.index(want) - slots.index(self.hook('focusSlot')))):
            keys.send_keys(step)
        keys.send_keys(Keys.ENTER)
        keys.perform()
        if target not in playable:
            self.until('the page says why the card may not be played', lambda: self.hook('noticeText'))
            self.assertIn(target, self.state()['hand'])
            return False
        self.until_played(target, state['dealNumber'])
        return True

    def check_pane_against_server(self):
        """Every line the server announced to the page is in the server's pane."""
        page = self.hook('paneLines')
        server = set(self.server.pane())
        announced = [l for l in page if ' is sitting ' in l or ' has joined' in l]
        self.assertTrue(announced, page)
        for line in announced:
            self.assertIn(line, server)
        # The pane shows the table's lines, appended as they came, and the
        # page's own notes; no line about each connection attempt.
        shown = self.browser.execute_script(
            'return [...document.querySelectorAll("#lines li:not(.note)")].map(li => li.textContent);')
        self.assertEqual([l for l in page if l not in ('Searching for server...', 'Connection closed')], shown)
        notes = self.browser.execute_script(
            'return [...document.querySelectorAll("#lines li.note")].map(li => li.textContent);')
        self.assertEqual(['Connection lost; reconnecting', 'Connected again'], notes)

    def check_score_sheet_against_server(self):
        def same():
            out = subprocess.run([DUMP, os.path.join(self.folder, 'temp.zelbo')], capture_output=True, text=True)
            return out.returncode == 0 and out.stdout.splitlines() == self.hook('scoreLines')
        self.until('the page shows the server\'s score sheet', same)
        self.browser.find_element(By.ID, 'score-button').click()
        shown = (self.browser.find_element(By.ID, 'score-lines').text.splitlines() +
                 [self.browser.find_element(By.ID, 'score-totals').text])
        self.assertEqual([l.rstrip() for l in self.hook('scoreLines')], [l.rstrip() for l in shown])
        self.browser.find_element(By.ID, 'score-close').click()

    # ---- the test ----

    def test_plays_the_first_deal_and_survives_a_drop(self):
        b = self.browser
        # Without ?test the page offers no test views.
        self.open_page()
        self.until('the join form', lambda: b.find_element(By.ID, 'join').is_displayed())
        self.assertFalse(b.execute_script('return "zelboTest" in window;'))
        self.join(f'http://127.0.0.1:{self.server.web_port}/?test', 'Tester', 'South')
        self.server.wait_for(r'^Tester is sitting South$')
        self.until('seated South', lambda: (self.state() or {}).get('position') == SOUTH)
        self.assertEqual('Tester', b.execute_script(
            'return JSON.parse(localStorage.getItem("zelbowin")).handle;'))
        self.until('the table painted', lambda: self.hook('firstTableMs') is not None)

        played = 0
        answered = {'pick': 0, 'action': 0}

        def count_dialog():
            answered['pick' if self.hook('pickOpen') else 'action'] += 1

        def play(s):
            nonlocal played
            card = self.hook('playable')[0]
            self.click_at(self.hook('slotPoint', s['hand'].index(card)))
            self.until_played(card, s['dealNumber'])
            played += 1
            if played == 4:
                b.save_screenshot(os.environ.get('ZELBO_WEB_PNG', 'web.png'))
                self.drop_and_sit_again()
        self.play_deal(SOUTH, play, before_dialog=count_dialog)

        print('dialogs answered:', answered, 'cards played:', played, file=sys.stderr)
        # South deals the first deal of this seed.
        self.assertEqual(answered['pick'], 1)
        self.assertGreaterEqual(answered['action'], 1)
        self.assertGreaterEqual(played, 4, 'the page played too few cards to have dropped')
        self.check_pane_against_server()
        self.check_score_sheet_against_server()
        self.check_settings_are_remembered()
        self.check_table_fits_a_phone_in_landscape()
        # The page, its scripts, the WebAssembly and the socket all work under
        # the door's Content-Security-Policy: nothing was blocked.
        self.assertEqual([], self.csp_blocked())

    def tap_at(self, point):
        finger = PointerInput(interaction.POINTER_TOUCH, 'finger')
        actions = ActionBuilder(self.browser, mouse=finger)
        actions.pointer_action.move_to_location(int(point['x']), int(point['y'])).pointer_down().pointer_up()
        actions.perform()

    def turn_marks(self):
        """Per seat, the share of its name's rectangle in the turn mark's
        colour, with the seat to play and the phase; None while the canvas
        shows something else than the live state."""
        return self.browser.execute_script("""
            const t = window.zelboTest;
            if (t.paintPending()) return null;
            const c = document.getElementById('table'), box = c.getBoundingClientRect();
            const k = c.width / box.width, ctx = c.getContext('2d');
            const marks = t.layout().names.map((r) => {
              const d = ctx.getImageData(Math.round((r.x - box.left) * k), Math.round((r.y - box.top) * k),
                                         Math.round(r.width * k), Math.round(r.height * k)).data;
              let mark = 0;
              for (let i = 0; i < d.length; i += 4) {
                mark += Math.abs(d[i] - 255) + Math.abs(d[i + 1] - 214) + d[i + 2] < 60;
              }
              return mark / (d.length / 4);
            });
            return [marks, t.state().turn, t.state().phase];""")

    def hand_is_tappable_and_uncovered(self):
        layout = self.hook('layout')
        self.assertTrue(layout['compact'])
        hand = layout['hand']
        self.assertTrue(hand)
        for r in hand:  # a fingertip's room on every card
            self.assertGreaterEqual(r['width'], 44, hand)
            self.assertGreaterEqual(r['height'], 60, hand)
        sheet = self.browser.execute_script(
            'const d = document.querySelector("dialog.decision[open]");'
            'return d && d.getBoundingClientRect().toJSON();')
        if sheet:  # the decision sheet leaves the whole hand in view
            self.assertTrue(all(sheet['bottom'] <= r['y'] or sheet['top'] >= r['y'] + r['height'] or
                                sheet['right'] <= r['x'] or sheet['left'] >= r['x'] + r['width'] for r in hand),
                            (sheet, hand))

    def play_a_deal_by_two_taps(self, width, height, png):
        b = self.browser
        b.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                          {'width': width, 'height': height, 'deviceScaleFactor': 3, 'mobile': True})
        b.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})
        self.open_page('?test&handle=Tapper&sit=0')
        self.until('seated South', lambda: (self.state() or {}).get('position') == SOUTH)
        # The pane is a drawer over the table, not beside or below it.
        pane, chat = b.find_element(By.ID, 'pane'), b.find_element(By.ID, 'pane-button')
        table = b.find_element(By.ID, 'table').rect
        self.until('the pane is put away', lambda: not pane.is_displayed())
        chat.click()
        self.until('the drawer opens over the table',
                   lambda: pane.is_displayed() and pane.rect['x'] < table['x'] + table['width'])
        self.assertEqual(table, b.find_element(By.ID, 'table').rect)
        chat.click()
        self.until('the drawer closes', lambda: not pane.is_displayed())
        played = 0
        marks = []  # the seat to play's name's mark, and the largest of the others'

        def mark(s):
            seen = self.turn_marks()
            if seen and seen[2] in IN_PLAY:
                turn = seen[1]
                marks.append((turn, seen[0][turn], max(m for i, m in enumerate(seen[0]) if i != turn)))

        def dialog():
            self.hand_is_tappable_and_uncovered()
            if played == 0 and self.hook('pickOpen'):
                # A hidden tab says whose turn it is in its title.
                title = b.execute_script("""
                    const was = document.title;
                    Object.defineProperty(document, 'hidden', { value: true, configurable: true });
                    document.dispatchEvent(new Event('visibilitychange'));
                    const hidden = document.title;
                    delete document.hidden;
                    document.dispatchEvent(new Event('visibilitychange'));
                    return [was, hidden, document.title];""")
                self.assertEqual([title[0], 'Your turn - ' + title[0], title[0]], title)

        def tap_twice(s):
            nonlocal played
            self.hand_is_tappable_and_uncovered()
            card = self.hook('playable')[0]
            point = self.hook('slotPoint', s['hand'].index(card))
            self.tap_at(point)  # chosen, not yet played
            time.sleep(0.3)
            if played == 3:
                b.save_screenshot(png)
            self.assertIn(card, self.state()['hand'])
            self.tap_at(point)
            self.until_played(card, s['dealNumber'])
            played += 1
        self.play_deal(SOUTH, tap_twice, before_dialog=dialog, each=mark)
        self.assertGreaterEqual(played, 4)
        # The name of the seat to play is marked, the others' are plain: the
        # own name at the own turn and not at the others'.
        self.assertTrue(any(turn == SOUTH for turn, _, _ in marks), marks)
        self.assertTrue(all(mine > 0.3 and others < 0.05 for _, mine, others in marks), marks)

    def test_a_phone_held_upright_plays_a_deal_by_two_taps(self):
        self.play_a_deal_by_two_taps(390, 844, os.environ.get('ZELBO_PHONE_PNG', 'phone.png'))

    def test_a_phone_held_sideways_plays_a_deal_by_two_taps(self):
        self.play_a_deal_by_two_taps(844, 390, os.environ.get('ZELBO_PHONE_LANDSCAPE_PNG', 'phone-landscape.png'))

    def test_reload_keeps_the_seat_refusals_speak_and_keys_play_a_deal(self):
        b = self.browser
        robot = subprocess.Popen([ROBOT, '--host', '127.0.0.1', '--port', str(self.server.port),
                                  '--handle', 'Sam', '--seat', 'south'],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(robot.wait)
        self.addCleanup(robot.terminate)
        self.join(f'http://127.0.0.1:{self.server.web_port}/?test', 'Tester', 'East')
        self.server.wait_for(r'^Tester is sitting East$')
        self.until_in_play()

        # A reload in mid-deal sits East again, without a click.
        b.refresh()
        self.server.wait_for(r'^Tester is sitting East$', count=2)
        self.until('seated East again', lambda: (self.state() or {}).get('position') == EAST
                   and self.state()['connected'])
        self.assertFalse(b.find_element(By.ID, 'join').is_displayed())

        # Refused commands say why.
        def refused(action, words):
            b.execute_script('document.getElementById("notice").textContent = "";')
            action()
            self.until(f'the page says {words!r}', lambda: words in self.hook('noticeText'))
        def menu(summary, item):
            b.find_element(By.CSS_SELECTOR, f'#{summary} summary').click()
            b.find_element(By.CSS_SELECTOR, item).click()
        refused(lambda: menu('menu-sit', '[data-sit="2"]'), 'You are already seated East: stand up first.')
        refused(lambda: menu('menu-kibitz', '#kibitz-all'), 'stand up first to watch')
        # Stand up: a watcher of everyone; the seat taken by another is refused,
        # the empty one taken again.
        menu('menu-sit', '#stand-up')
        self.until('watching everyone', lambda: (self.state() or {}).get('position') == 8)
        refused(lambda: menu('menu-sit', '[data-sit="2"]'), 'North is taken by Robot North.')
        slot = self.hook('handSlots')[-1]['slot']
        refused(lambda: self.click_at(self.hook('slotPoint', slot)), 'You are watching: sit down to play.')
        self.until('East shown empty', lambda: not self.state()['seatTaken'][EAST])
        menu('menu-sit', '[data-sit="3"]')
        self.server.wait_for(r'^Tester is sitting East$', count=3)
        self.until('seated East', lambda: self.state()['position'] == EAST)

        # A whole deal with the keyboard: Tab reaches the table.
        b.execute_script('document.activeElement.blur();')
        for _ in range(12):
            if b.execute_script('return document.activeElement === document.getElementById("table");'):
                break
            ActionChains(b).send_keys(Keys.TAB).perform()
        played, refused_card, refused_turn = 0, False, 0
        focus_table = lambda: b.find_element(By.ID, 'table').click()

        def out_of_turn(s):
            # The robots play at once, so the turn may come round before the
            # click lands: then the card is played or refused for another
            # reason, and the next trick tries again.
            nonlocal refused_turn
            if s['turn'] == EAST or s['phase'] != PHASE_PLAYING or refused_turn >= 3:
                return False
            slot = self.hook('handSlots')[0]['slot']
            card = s['hand'][slot]
            b.execute_script('document.getElementById("notice").textContent = "";')
            self.click_at(self.hook('slotPoint', slot))
            self.until('a refusal or the card played',
                       lambda: self.hook('noticeText') or card not in self.state()['hand'])
            refused_turn += 1
            notice = self.hook('noticeText')
            self.assertTrue(not notice or 'Not your turn' in notice or 'must' in notice, notice)
            focus_table()
            return True

        def by_keys(s):
            nonlocal played, refused_card
            if self.play_by_keys(refuse_once=not refused_card):
                played += 1
            else:
                refused_card = True
        self.play_deal(EAST, by_keys, after_dialog=focus_table, on_other=out_of_turn)
        self.assertGreaterEqual(played, 1)
        self.assertTrue(refused_card)

    def test_a_dead_link_is_noticed_by_both_ends_and_the_game_resumes(self):
        b = self.browser
        b.get(f'http://127.0.0.1:{self.proxy.port}/?test&handle=Tester&sit=0')
        self.server.wait_for(r'^Tester is sitting South$')
        self.until_in_play()
        self.proxy.stall()
        stalled = time.monotonic()
        self.server.wait_for(r'^Game suspended$')
        self.assertLess(time.monotonic() - stalled, 4 + 3, 'the server noticed late')
        self.assertIn('Tester has left the table', self.server.pane())
        self.until('the page notices', lambda: 'Connection lost' in self.hook('statusText'))
        self.assertLess(time.monotonic() - stalled, 35, 'the page noticed late')
        # Meanwhile the last table stays, greyed, and the status counts down.
        self.assertTrue(b.execute_script('return document.getElementById("table").classList.contains("stale");'))
        self.proxy.resume()
        self.server.wait_for(r'^Tester is sitting South$', count=2)
        self.server.wait_for(r'^Game resumed$')
        self.until('seated South again', lambda: self.state()['position'] == SOUTH and self.state()['connected'])
        self.assertFalse(b.execute_script('return document.getElementById("table").classList.contains("stale");'))

    def test_the_end_of_a_robot_game_is_summed_up(self):
        b = self.browser
        self.open_page('?test&handle=Watcher&kibitz=4')
        summary = self.until('the end-of-game summary', lambda: self.hook('summary'), 10 * DEADLINE, 0.2)
        # The totals are those of the hand records the table serves, read-only
        # ("South: Robot South (-146)" and so on, in seat order).
        url = f'http://127.0.0.1:{self.server.web_port}/handrecords.txt'
        records = urllib.request.urlopen(url).read().decode()
        totals = [int(re.search(rf'^{seat}: +.*\((-?\d+)\)\s*$', records, re.M).group(1))
                  for seat in ('South', 'West', 'North', 'East')]
        self.assertEqual(totals, summary['totals'])
        self.assertEqual(len(summary['running']), 28)
        self.assertEqual(summary['running'][-1], summary['totals'])
        shown = [int(row.find_elements(By.TAG_NAME, 'td')[3].text)
                 for row in b.find_elements(By.CSS_SELECTOR, '#summary-table tbody tr')]
        self.assertEqual(sorted(summary['totals'], reverse=True), shown)
        self.assertEqual(1, summary['places'][summary['totals'].index(max(summary['totals']))])
        with self.assertRaises(urllib.error.HTTPError) as refused:
            urllib.request.urlopen(urllib.request.Request(url, method='POST'))
        self.assertEqual(405, refused.exception.code)
        # Once the game is archived, the summary links to its replay.
        replay = b.find_element(By.ID, 'summary-replay')
        self.until('the link to the replay', lambda: replay.is_displayed())
        self.assertRegex(replay.get_attribute('href'), r'/games/\d+$')
        self.assertEqual(200, urllib.request.urlopen(replay.get_attribute('href')).status)
        # The score sheet scrolls; its totals line stays in view.
        b.find_element(By.ID, 'summary-close').click()
        b.find_element(By.ID, 'score-button').click()
        bottom, height, text = b.execute_script("""
            const t = document.getElementById('score-totals');
            return [t.getBoundingClientRect().bottom, innerHeight, t.textContent];""")
        self.assertLessEqual(bottom, height)
        self.assertEqual(summary['totals'], [int(v) for v in text.split()])

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


class LobbyTest(BrowserTest):
    def setUp(self):
        self.make_folder('zelbo-lobby-')
        self.start_server(SERVER, ['--lobby'], lobby=True)
        self.start_browser()

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
        self.until('a new table listed within 2 s',
                   lambda: b.find_elements(By.CSS_SELECTOR, f'tr[data-id="{other}"]'), seconds=2)
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
        self.join(link + '?test', 'Friend', 'South')
        self.server.wait_for(r'^\[' + table_id + r'\] Friend is sitting South$')
        self.until('a deal at the private table', lambda: (b.execute_script(
            'return window.zelboTest && window.zelboTest.state();') or {}).get('dealNumber', 0) > 0)
        self.assertEqual([], self.csp_blocked())


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
