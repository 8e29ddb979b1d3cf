# The options that every module of the collection shares: the calbrin-cli program it runs, and the
# password of a device that asks for one.


class ModuleDocFragment(object):

    DOCUMENTATION = r"""
options:
  cli_path:
    description: The calbrin-cli program on the managed host.
    type: str
    default: calbrin-cli
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
