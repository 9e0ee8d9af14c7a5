import pytest

import regscript


@pytest.fixture
def session():
    with regscript.Session() as s:
        yield s
