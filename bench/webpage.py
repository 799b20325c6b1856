#!/usr/bin/python3
"""The live page in a headless Chromium, for the web benchmark: webpage.py URL SECONDS OUT

Loads the page at URL, watches #f-lblHEX for SECONDS and writes to OUT one line per change:
the CLOCK_MONOTONIC time in nanoseconds at which the page's text changed, and the new text.
The page stamps changes with Date.now(), epoch milliseconds; each is taken as the end of its
millisecond, so that no change is placed before the line that caused it, and brought to
CLOCK_MONOTONIC with the difference of the two clocks read here, on the same machine.
(performance.timeOrigin is finer but was found a few milliseconds off the system clock.)
"""
import shutil
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

# Injected by the benchmark, not part of the page: a change is stamped as the page makes it.
kWatch = """
window.benchChanges = [];
const field = document.getElementById('f-lblHEX');
new MutationObserver(() => window.benchChanges.push([Date.now(), field.textContent]))
    .observe(field, {childList: true, characterData: true, subtree: true});
"""


def realtime_minus_monotonic_ns():
    """The clocks' difference, from the reading taken between the closest pair of monotonic ones."""
    readings = []
    for _ in range(20):
        before = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
        real = time.clock_gettime_ns(time.CLOCK_REALTIME)
        after = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
        readings.append((after - before, real - (before + after) // 2))
    return min(readings)[1]


def main():
    url, seconds, out = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    options = webdriver.ChromeOptions()
    for flag in ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                 '--disable-background-networking', '--window-size=1000,1420']:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which('chromedriver')), options=options)
    try:
        driver.get(url)
        WebDriverWait(driver, 30, poll_frequency=0.1).until(
            lambda d: d.find_elements(By.ID, 'f-lblHEX'), message='the page built no window')
        driver.execute_script(kWatch)
        time.sleep(seconds)
        changes = driver.execute_script('return window.benchChanges')
    finally:
        driver.quit()
    offset = realtime_minus_monotonic_ns()
    with open(out, 'w') as file:
        for when_ms, text in changes:
            if text:
                file.write(f'{(when_ms + 1) * 1_000_000 - offset} {text}\n')


if __name__ == '__main__':
    main()
