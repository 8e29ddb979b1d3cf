# The options that every module of the collection shares: the calbrin-cli program it runs, and the
# password of a device that asks for one.


class ModuleDocFragment(object):

    DOCUMENTATION = r"""
options:
  cli_path:
    description: The calbrin-cli program on the managed host.
    type: str
    default: calbrin-cli
  language:
    description:
      - The language of the pages, labels, meanings and messages in the results, C(en) or C(ja).
      - By default the managed host's own, as calbrin-cli takes it from the locale that the
        module runs under (the first of C(LC_ALL), C(LC_MESSAGES) and C(LANG) that is set);
        Japanese for a Japanese locale, English otherwise.
      - Keys, stored values and the names of the results never change with the language.
    type: str
    choices: [en, ja]
author:
  - Calbrin developers
"""

    DEVICE_PASSWORD = r"""
options:
  password:
    description:
      - The device's settings password, for a device that asks for one. Handed to calbrin-cli
        through its environment, never its command line; never logged or returned.
    type: str
"""
