#!/usr/bin/python3
"""The archive's pages in a real browser.

Starts zelbowin-server with four robots and the web listener, waits until
their game is over and archived, then in headless Chromium finds it in the
list at /games, opens its replay, steps through a played deal with the
keyboard and checks every card and decision shown against the play the
server gives for the game (/api/games/ID), and that the hand records the
page offers are the file the server wrote. Leaves a screenshot in
$ZELBO_REPLAY_PNG (default replay.png here).

usage: replay_browser_test.py SERVER
"""

import json
import os
import sys
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

from browser_support import DEADLINE, BrowserTest

SERVER = sys.argv[1]
GAME_DEADLINE = 900  # a whole robot game under a sanitizer build on shared cores


class ReplayTest(BrowserTest):
    def setUp(self):
        self.make_folder('zelbo-replay-')
        self.start_server(SERVER, ['--robots', '4', '--seed', '7'])
        game = self.server.wait_for(r'Game archived as number (\d+)', seconds=GAME_DEADLINE)
        self.game_id = int(game.group(1))
        self.records = self.server.wait_for(r'Hand records written to (.*)$').group(1)
        self.start_browser('1400,900')

    def shown(self):
        """What the page says it shows: the moment, deal and the last card."""
        return self.browser.execute_script(
            'const d = document.getElementById("now").dataset;'
            'return {moment: +d.moment, deal: +d.deal, seat: d.seat, card: d.card, trick: d.trick};')

    def press(self, key):
        before = self.shown()['moment']
        self.browser.find_element(By.TAG_NAME, 'body').send_keys(key)
        self.until(f'{key} moves the replay', lambda: self.shown()['moment'] != before)

    def test_steps_a_deal_by_keyboard_as_it_was_played(self):
        b = self.browser
        base = f'http://127.0.0.1:{self.server.web_port}'
        stored = json.loads(self.server.get(f'/api/games/{self.game_id}'))
        self.assertTrue(stored['replayed'])

        b.get(f'{base}/games')
        link = self.until('the game in the list',
                          lambda: b.find_elements(By.CSS_SELECTOR, f'a[href="/games/{self.game_id}"]'))
        link[0].click()
        self.until('the replay loaded', lambda: b.execute_script('return !!window.zelboReplay;'))
        self.assertEqual('', b.find_element(By.ID, 'message').text)

        # The first deal that was played, chosen in the picker.
        deal = next(d for d in stored['dealList'] if d['cards'])
        Select(b.find_element(By.ID, 'deal-pick')).select_by_value(str(deal['deal']))
        self.until('the deal shown', lambda: self.shown()['deal'] == deal['deal'])
        b.find_element(By.TAG_NAME, 'body').click()  # the keys go to the page, not the picker

        for i, decision in enumerate(deal['decisions']):
            self.press(Keys.ARROW_RIGHT)
            items = b.find_elements(By.CSS_SELECTOR, '#decisions li')
            self.assertEqual(i + 1, len(items))
            self.assertTrue(items[-1].text.endswith(decision['text']), (items[-1].text, decision))
        for card in deal['cards']:
            self.press(Keys.ARROW_RIGHT)
            now = self.shown()
            if now['deal'] != deal['deal']:
                break  # the deal's last card brings the next deal at once
            self.assertEqual((str(card['seat']), str(card['card']), str(card['trick'])),
                             (now['seat'], now['card'], now['trick']))
        # Back a trick and forward a trick land on the same moment; a deal
        # forward is the next deal.
        self.press(Keys.ARROW_UP)
        back = self.shown()
        self.press(Keys.ARROW_DOWN)
        self.press(Keys.ARROW_UP)
        self.assertEqual(back, self.shown())
        self.press(Keys.PAGE_DOWN)
        self.assertEqual(deal['deal'] + 1, self.shown()['deal'])
        self.assertEqual(deal['deal'], len(b.find_elements(By.CSS_SELECTOR, '#chart polyline')[0]
                                           .get_attribute('points').split()) - 1)

        # The review of the seat that led first in the deal, run in the page.
        Select(b.find_element(By.ID, 'deal-pick')).select_by_value(str(deal['deal']))
        seat = deal['cards'][0]['seat']
        b.find_elements(By.CSS_SELECTOR, '#review-seats button')[seat].click()
        moved = self.shown()['moment']
        b.find_element(By.TAG_NAME, 'body').send_keys(Keys.ARROW_RIGHT)  # the page answers meanwhile
        self.until('the replay moves during the review', lambda: self.shown()['moment'] == moved + 1)
        self.until('the review', lambda: b.find_element(By.ID, 'review').get_attribute('data-done') == 'yes',
                   20 * DEADLINE, 0.2)
        review = b.execute_script('return {...document.getElementById("review").dataset};')
        own = [x for x in deal['decisions'] + deal['cards'] if x['seat'] == seat]
        self.assertEqual((str(deal['deal']), str(len(own))), (review['deal'], review['decisions']))
        self.assertEqual(int(review['marked']), len(b.find_elements(By.CSS_SELECTOR, '#review-marks li')))
        print(f'review of one deal: {review["seconds"]} s, {review["marked"]} marked', file=sys.stderr)

        href = b.find_element(By.ID, 'records-link').get_attribute('href')
        with open(self.records, 'rb') as f:
            self.assertEqual(f.read(), self.server.get(href[len(base):]))

        # The middle of the last deal played, for the picture.
        last = [d for d in stored['dealList'] if d['cards']][-1]
        Select(b.find_element(By.ID, 'deal-pick')).select_by_value(str(last['deal']))
        b.find_element(By.TAG_NAME, 'body').click()
        for _ in range(len(last['decisions']) + len(last['cards']) // 2):
            self.press(Keys.ARROW_RIGHT)
        b.find_elements(By.CSS_SELECTOR, '#review-seats button')[last['cards'][0]['seat']].click()
        self.until('the second review', lambda: b.find_element(By.ID, 'review').get_attribute('data-deal') ==
                   str(last['deal']), 20 * DEADLINE, 0.2)
        print(f'review of deal {last["deal"]}: {b.find_element(By.ID, "review").get_attribute("data-seconds")} s',
              file=sys.stderr)
        b.save_screenshot(os.environ.get('ZELBO_REPLAY_PNG', 'replay.png'))


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1])
