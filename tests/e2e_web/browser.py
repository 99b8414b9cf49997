"""Headless Chromium on the web panel, through chromedriver."""
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

WAIT_S = 5


def open_browser(chromium, chromedriver, spki_hash, extra=()):
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    profile = tempfile.TemporaryDirectory(prefix='tavrin-chromium-')
    # Only the panel's own key is trusted, after its fingerprint was checked.
    for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu',
                     '--no-first-run', '--window-size=1280,1024', f'--user-data-dir={profile.name}',
                     f'--ignore-certificate-errors-spki-list={spki_hash}', *extra):
        options.add_argument(argument)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    driver = webdriver.Chrome(service=Service(chromedriver), options=options)
    driver.tavrin_profile = profile  # removed with the driver
    return driver


def log_in(driver, url, name, password):
    driver.get(url)
    WebDriverWait(driver, WAIT_S).until(lambda d: d.find_elements(By.ID, 'name'))
    driver.find_element(By.ID, 'name').send_keys(name)
    driver.find_element(By.ID, 'password').send_keys(password)
    driver.find_element(By.XPATH, '//button[normalize-space()="Log in"]').click()
    WebDriverWait(driver, WAIT_S).until(lambda d: not d.find_elements(By.ID, 'password'))


def text_of(driver, element_id):
    found = driver.find_elements(By.ID, element_id)
    return found[0].text if found else None


def close(driver):
    try:
        driver.quit()
    finally:
        driver.tavrin_profile.cleanup()
