#!/usr/bin/python3
"""The live web page in a headless Chromium, against the monitor on the simulated receiver.

The page must show the fields as GET /api/state has them, follow the monitor as it changes,
send the operator's commands only with the control token, say when the receiver or the
monitor is gone, and find the monitor again when it is back.
"""
import argparse
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.request

if not shutil.which('chromium'):
    print('chromium is not installed: skipped')
    sys.exit(77)

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

kViewToken = 'view-7f3a'
kControlToken = 'control-91c2'
kCompared = ['lblPS', 'lblPI', 'lblPTY', 'lblTraffic']


def wait_until(what, condition, driver=None, seconds=30):
    return WebDriverWait(driver, seconds, poll_frequency=0.1).until(lambda _: condition(), message=what)


def start_monitor(args, folder, frequency, listen):
    (folder / 'tallowmere.ini').write_text(
        f'[Tallowmere]\nCOMport=./receiver\nFrequency={frequency}\n'
        f'[Web]\nListen={listen}\nViewToken={kViewToken}\nControlToken={kControlToken}\n'
        '[Checks]\nPI=0000\nTrigger=1\n')  # a PI no station sends: its alarm 31 s after the tune
    errors = folder / 'stderr.txt'
    process = subprocess.Popen([args.monitor], cwd=folder, stderr=errors.open('w'),
                               env={**os.environ, 'QT_QPA_PLATFORM': 'offscreen'})
    serving = re.compile(r'web: serving (http://127\.0\.0\.1:\d+/)')
    base = wait_until('the web server line on stderr', lambda: serving.search(errors.read_text()))
    return process, base.group(1)


def browser(width, height):
    options = webdriver.ChromeOptions()
    for flag in ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                 '--disable-background-networking', f'--window-size={width},{height}']:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service(shutil.which('chromedriver')), options=options)


def main():
    parser = argparse.ArgumentParser()
    for name in ['--monitor', '--sim', '--captures']:
        parser.add_argument(name, required=True, type=os.path.abspath)
    parser.add_argument('--screenshot', help='save the page, once it shows a station, as this PNG')
    parser.add_argument('--details-screenshot', help='save the RDS details panel, once filled, as this PNG')
    args = parser.parse_args()
    # A real station (104.6 RTL Berlin) where the captures are on this machine, else the
    # simulator's own 88.8 MHz station.
    capture = pathlib.Path(args.captures, 'de-104.6rtl-D42A.groups')
    frequency, pi, groups = ('104.6', 'D42A', ['--groups', str(capture)]) if capture.exists() else (
        '88.8', 'C4B2', [])

    processes = []
    driver = None
    with tempfile.TemporaryDirectory() as temp:
        folder = pathlib.Path(temp)
        try:
            sim = subprocess.Popen([args.sim, *groups, 'receiver'], cwd=folder, stdout=subprocess.PIPE, text=True)
            processes.append(sim)
            assert sim.stdout.readline().startswith('receiver -> /dev/pts/'), 'the simulator did not start'
            monitor, base = start_monitor(args, folder, frequency, '127.0.0.1:0')
            processes.append(monitor)
            driver = browser(1000, 1420)
            driver.get(f'{base}?token={kViewToken}')

            def text_of(element_id):
                return driver.find_element(By.ID, element_id).get_property('textContent')

            def page_shows_state():
                request = urllib.request.Request(f'{base}api/state',
                                                 headers={'Authorization': f'Bearer {kViewToken}'})
                with urllib.request.urlopen(request, timeout=5) as answer:
                    fields = json.load(answer)['fields']
                return all(text_of(f'f-{name}') == fields[name]['shown'] for name in kCompared)

            wait_until(f'the station {pi} on the page as in /api/state',
                       lambda: text_of('f-lblPI') == pi and page_shows_state(), driver)
            wait_until('the station log with its PI', lambda: f'pi={pi}' in text_of('events'), driver)
            # The RDS details panel: the AF list and the TMC service; on the simulator's station
            # also the item now playing (from 30 s after tuning) and the other network.
            wait_until('the AF and TMC rows', lambda: text_of('d-af').startswith('method A') and
                       'location table' in text_of('d-tmc'), driver)
            if not capture.exists():
                WebDriverWait(driver, 90, poll_frequency=0.5).until(
                    lambda _: text_of('d-nowplaying') == 'The Lanterns – Harbour Lights' and
                    'FEN&FOLK' in text_of('eon'), message='now playing and the other network')
                if args.details_screenshot:
                    driver.find_element(By.ID, 'details').screenshot(args.details_screenshot)
            assert driver.find_element(By.ID, 'f-lblPS').is_displayed()
            # A blocked inline style or script shows as an error in the console.
            problems = [entry['message'] for entry in driver.get_log('browser')
                        if entry['level'] == 'SEVERE' and 'favicon.ico' not in entry['message']]
            assert not problems, problems
            if args.screenshot:
                wait_until('a RadioText and a signal level', lambda: text_of('f-lblRadioText').strip() and
                           text_of('f-lblRSSI') != 'RSSI: --', driver)
                driver.save_screenshot(args.screenshot)

            # The controls: a wrong token is refused and forgotten, the right one changes the boxes.
            def command(token, box, button, typed):
                driver.find_element(By.ID, 'control-open').click()
                driver.find_element(By.ID, 'token').send_keys(token + '\n')
                field = driver.find_element(By.ID, box)
                field.clear()
                field.send_keys(typed + '\n')
                wait_until(f'the answer to {button}', lambda: text_of('control-answer').startswith(button), driver)
                answer = text_of('control-answer')
                driver.execute_script("document.getElementById('control-answer').textContent = ''")
                return answer

            assert command('wrong', 'freq-text', 'CHANGE FREQ', '104.5') == 'CHANGE FREQ: token refused'
            assert not driver.find_element(By.ID, 'controls').is_displayed()
            for box, button, typed, window_box in [('freq-text', 'CHANGE FREQ', '104.5', 'f-txtFreq'),
                                                   ('vol-text', 'SET VOL', '12', 'f-txtVol')]:
                answer = command(kControlToken, box, button, typed)
                shown = re.fullmatch(f'{button}: the box shows "(.*)"', answer)
                assert shown, answer
                wait_until(f'{window_box} as the answer says', lambda: text_of(window_box) == shown.group(1), driver)
            wait_until('the retuned station as in /api/state', page_shows_state, driver)

            # The receiver gone, the monitor gone, the monitor back on the same port.
            def connection_says(line):
                wait_until(f'"{line}"', lambda: text_of('connection') == line, driver)

            # The PI alarm in the red bar; the window dimmed once the receiver is lost.
            wait_until('the pi alarm above the window',
                       lambda: text_of('alarms').startswith('pi failing since '), driver, 120)
            sim.terminate()
            connection_says('receiver not connected')
            wait_until('the window dimmed', lambda: 'lost' in driver.find_element(By.ID, 'frame').get_attribute(
                'class') and re.fullmatch(r'receiver lost since \d\d:\d\d:\d\d', text_of('lost')), driver)
            monitor.terminate()
            monitor.wait(30)
            connection_says('monitor unreachable')
            processes.append(start_monitor(args, folder, frequency, base[len('http://'):-1])[0])
            connection_says('receiver not connected')
        finally:
            if driver:
                driver.quit()
            for process in processes:
                process.terminate()
                process.wait(30)


if __name__ == '__main__':
    main()
